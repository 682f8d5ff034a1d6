#pragma once
#include <string>

namespace verdo {

// The store's error codes and their texts.
enum ErrorCode : int {
    NoError = 0,
    FileNotFoundErr = 2,
    AccessDeniedErr = 5,
    RecordNotAvailErr = 33,
    DupKeyErr = 40,
    IsHeldErr = 43,
    BadKeyErr = 46,
    AlreadyOpenErr = 52,
    RecordChangedErr = 89,
    FileSystemErr = 90,
};

// The text the store reports for a code ("File Not Found" for 2, ...).
std::string ErrorTextFor(int code);

// The run-time error state of the running OS thread: the code and text of the last
// failed store or file operation, and for code 90 the file system's own code and text.
struct RuntimeErrorState {
    int Code = 0;
    std::string Text;
    int FileCode = 0;
    std::string FileText;
};

const RuntimeErrorState& LastError();
// Records a failure; the text defaults to the code's own.
void SetLastError(int code, int fileCode = 0, const std::string& fileText = std::string());
// Puts back a failure kept from before.
void SetLastError(const RuntimeErrorState& failure);
void ClearLastError();
// A failure in the store's own words, as its messages give them: "Access Denied (5)", or
// for code 90 the file system's text and code.
std::string StoreFailureText(const RuntimeErrorState& failure);

// Runs `undo` (a rollback, a read again) after a failure without losing what the failure
// said: the last error is again as it was before `undo`, and the result is `code`.
template <class Undo>
int KeepingFailure(int code, Undo undo) {
    RuntimeErrorState failure = LastError();
    undo();
    SetLastError(failure);
    return code;
}

}  // namespace verdo
