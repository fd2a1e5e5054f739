// imagegen MANIFEST ART_DIR OUT_DIR: renders every picture the manifest lists into OUT_DIR (one
// .ico or .bmp each) and writes OUT_DIR/images.rc naming them. Runs on the build machine; any
// fault in a source stops the build with the file and line.
// imagegen --check MANIFEST PROGRAM.exe: reads the icons and pictures of the program file and fails
// on an icon image some Windows cannot draw (imagegen::ProgramIconFaults), or on a program that
// does not hold the icons and pictures the manifest lists.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "imagegen.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw imagegen::SourceError(path + ": cannot be read");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Written beside the target and renamed over it, so an interrupted build leaves no half file.
void WriteFile(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
      throw imagegen::SourceError(temp + ": cannot be written");
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) throw imagegen::SourceError(path + ": cannot be replaced");
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

int CheckProgram(const std::string& manifest, const std::string& program) {
  uint32_t want[4] = {0, 0, 0, 0}, got[4];
  for (const imagegen::ManifestEntry& e : imagegen::ParseManifest(ReadFile(manifest), manifest)) {
    if (!e.icon) continue;
    want[e.picture ? 2 : 0] += 1;
    want[e.picture ? 3 : 1] += static_cast<uint32_t>(e.sizes.size());
  }
  const std::string file = ReadFile(program);
  std::vector<std::string> faults = imagegen::ProgramIconFaults(std::vector<uint8_t>(file.begin(), file.end()), got);
  const std::string counts = std::to_string(got[0]) + " icon groups (" + std::to_string(got[1]) + " images), " +
                             std::to_string(got[2]) + " pictures (" + std::to_string(got[3]) + " images)";
  if (!std::equal(want, want + 4, got))
    faults.push_back(counts + " where the manifest lists " + std::to_string(want[0]) + " icons (" +
                     std::to_string(want[1]) + " images), " + std::to_string(want[2]) + " pictures (" +
                     std::to_string(want[3]) + " images)");
  for (const std::string& fault : faults) std::cerr << program << ": " << fault << "\n";
  std::cout << program << ": " << counts << ": "
            << (faults.empty() ? "every icon image plain, every transparent pixel black" : "FAILED") << "\n";
  return faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: imagegen MANIFEST ART_DIR OUT_DIR | imagegen --check MANIFEST PROGRAM.exe\n";
    return 2;
  }
  const std::string manifest = argv[1], artDir = argv[2], outDir = argv[3];
  try {
    if (manifest == "--check") return CheckProgram(artDir, outDir);
    const auto entries = imagegen::ParseManifest(ReadFile(manifest), manifest);
    // The small sizes keep their alpha channel: button pictures sit on themed buttons whose
    // face is not the page's. From 32 pixels on, 256 colours with their coverage in the colour
    // table take a third of the room; the program blends them when it loads them.
    imagegen::IcoFormat format;
    format.paletteFrom = 32;
    for (const imagegen::ManifestEntry& e : entries) {
      std::vector<imagegen::Image> images;
      for (const auto& size : e.sizes) {
        const std::string artPath = artDir + "/" + (size.art.empty() ? e.art : size.art);
        const imagegen::Drawing drawing = imagegen::ParseDrawing(ReadFile(artPath), artPath);
        images.push_back(imagegen::Render(drawing, size.width, size.height));
      }
      format.packed = e.picture;
      WriteFile(outDir + "/" + e.FileName(),
                Bytes(e.icon ? imagegen::EncodeIco(images, format) : imagegen::EncodeBmp(images.front())));
    }
    WriteFile(outDir + "/images.rc", imagegen::ResourceScript(entries));
  } catch (const std::exception& e) {
    std::cerr << "imagegen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
