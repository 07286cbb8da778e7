#include "platform/drivers/scripted/ScriptedDriver.h"

#include "platform/win/Utf8.h"

namespace orv::script {

bool ScriptedDriver::WaitForInput(HWND modal) {
    (void)modal;
    return runner_.NextInput();
}

void ScriptedDriver::ProcedureFailed(HWND hwnd, UINT message, const std::wstring& what) {
    (void)hwnd;
    runner_.ReportError(runner_.CurrentLine(), "a window procedure failed on message " +
                                                   std::to_string(message) + ": " + orv::WideToUtf8(what));
}

}  // namespace orv::script
