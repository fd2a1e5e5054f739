// The registry cases on the host run against the in-memory registry.
#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "shared/registry_test_bed.h"

namespace {

class FakeRegistryTestBed : public RegistryTestBed {
 public:
  FakeRegistryTestBed() : RegistryTestBed("Software\\KeelbrookTest1") { fake_.CreateKey(Root(), TestKey()); }
  // Every case must leave no handle open; the fake is the one place that can tell.
  ~FakeRegistryTestBed() override {
    EXPECT_EQ(0, fake_.OpenHandleCount()) << "registry handles left open by the case";
  }

  RegistryApi& Api() override { return fake_; }
  void CreateKey(const std::string& path) override { fake_.CreateKey(Root(), PathOf(path)); }
  void SetValue(const std::string& path, const std::string& name, uint32_t type,
                const std::vector<uint8_t>& data) override {
    fake_.SetValue(Root(), PathOf(path), name, type, data);
  }
  bool KeyExists(const std::string& path) override { return fake_.KeyExists(Root(), PathOf(path)); }
  bool GetValue(const std::string& path, const std::string& name, uint32_t* type,
                std::vector<uint8_t>* data) override {
    return fake_.GetValue(Root(), PathOf(path), name, type, data);
  }

 private:
  FakeRegistry fake_;
};

}  // namespace

std::unique_ptr<RegistryTestBed> MakeRegistryTestBed() { return std::make_unique<FakeRegistryTestBed>(); }
