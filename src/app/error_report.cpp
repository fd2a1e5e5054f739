#include "app/error_report.h"

#include <exception>
#include <new>

#include "platform/app_error.h"

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) {
    return message + ".";
  }
  return message;
}

bool RunHandler(SystemApi& system, const std::function<void()>& handler) {
  std::string message;
  try {
    handler();
    return true;
  } catch (const AppError& e) {
    message = e.what();
  } catch (const std::bad_alloc&) {
    message = "Out of memory";
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = "Unexpected error";
  }
  system.MessageBoxA(BoxOwner::MainWindow, ErrorReportText(message), kApplicationTitle, mb::kOk | mb::kIconError);
  return false;
}
