#include "platform/win/Driver.h"

namespace orv::win {

namespace {
Driver g_nullDriver;
Driver* g_driver = &g_nullDriver;
std::wstring g_modalError;
}  // namespace

Driver& ActiveDriver() { return *g_driver; }

Driver* SetDriver(Driver* driver) {
    Driver* previous = g_driver == &g_nullDriver ? nullptr : g_driver;
    g_driver = driver ? driver : &g_nullDriver;
    return previous;
}

const std::wstring& ModalError() { return g_modalError; }
void ClearModalError() { g_modalError.clear(); }

// Used by the modal loop.
void SetModalError(std::wstring text) { g_modalError = std::move(text); }

}  // namespace orv::win
