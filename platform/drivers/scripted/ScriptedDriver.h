#pragma once
// The scripted driver: while a modal window waits for input, the next script line is performed
// on it. When the script has no more input for the window, the kernel's modal loop fails.

#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/win/Driver.h"

namespace orv::script {

class ScriptedDriver : public orv::win::Driver {
public:
    explicit ScriptedDriver(ScriptRunner& runner) : runner_(runner) {}

    bool WaitForInput(HWND modal) override;
    // An exception in a window procedure is a fault of the code under test: the run stops.
    void ProcedureFailed(HWND hwnd, UINT message, const std::wstring& what) override;

private:
    ScriptRunner& runner_;
};

}  // namespace orv::script
