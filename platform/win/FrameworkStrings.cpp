// The framework's own strings: data exchange prompts and message box button captions. A
// resource module may carry the same ids and then wins.

#include <map>

#include "platform/res/Resources.h"
#include "platform/win/Kernel.h"

namespace orv::win::detail {

namespace {

const std::map<UINT, const wchar_t*>& Strings() {
    static const std::map<UINT, const wchar_t*> strings{
        {AFX_IDP_PARSE_INT, L"Enter a whole number."},
        {AFX_IDP_PARSE_REAL, L"Enter a number."},
        {AFX_IDP_PARSE_INT_RANGE, L"Enter a whole number from %1 to %2."},
        {AFX_IDP_PARSE_REAL_RANGE, L"Enter a number from %1 to %2."},
        {AFX_IDP_PARSE_STRING_SIZE, L"Enter no more than %1 characters."},
        {AFX_IDP_PARSE_RADIO_BUTTON, L"Choose one of the options."},
        {AFX_IDP_PARSE_BYTE, L"Enter a whole number from 0 to 255."},
        {AFX_IDP_PARSE_UINT, L"Enter a whole number that is not negative."},
        {AFX_IDP_PARSE_DATETIME, L"Enter a date and time."},
        {AFX_IDP_PARSE_CURRENCY, L"Enter an amount of money."},
        {AFX_IDP_PARSE_GUID, L"Enter an identifier of the form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}."},
        {AFX_IDP_PARSE_TIME, L"Enter a time."},
        {AFX_IDP_PARSE_DATE, L"Enter a date."},
        // Message box button captions (ids of the kernel's own range).
        {kStringButtonOk, L"OK"},
        {kStringButtonCancel, L"Cancel"},
        {kStringButtonAbort, L"&Abort"},
        {kStringButtonRetry, L"&Retry"},
        {kStringButtonIgnore, L"&Ignore"},
        {kStringButtonYes, L"&Yes"},
        {kStringButtonNo, L"&No"},
        {kStringButtonClose, L"&Close"},
        {kStringButtonHelp, L"&Help"},
        {kStringErrorCaption, L"Error"},
        {kStringOpenTitle, L"Open"},
        {kStringSaveTitle, L"Save As"},
        {kStringFileName, L"File &name:"},
        {kStringFileType, L"Files of &type:"},
        {kStringOpenButton, L"&Open"},
        {kStringSaveButton, L"&Save"},
        {kStringFileNotFound, L"%1\nThe file cannot be found.\nCheck the file name and try again."},
        {kStringPathNotFound, L"%1\nThe folder cannot be found.\nCheck the path and try again."},
        {kStringReplaceFile, L"%1 already exists.\nDo you want to replace it?"},
        {kStringInvalidFileName, L"%1\nThe file name is not valid."},
        {kStringNumbersOnly, L"Unacceptable character \"%1\": you can only type a number here."},
    };
    return strings;
}

}  // namespace

bool BuiltinString(UINT id, std::wstring& out) {
    auto it = Strings().find(id);
    if (it == Strings().end()) return false;
    out = it->second;
    return true;
}

std::wstring FrameworkString(UINT id) {
    std::wstring text;
    if (orv::res::LoadStringResource(nullptr, id, text)) return text;
    if (BuiltinString(id, text)) return text;
    return {};
}

}  // namespace orv::win::detail
