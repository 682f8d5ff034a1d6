#include "runtime/RuntimeError.h"

namespace verdo {

std::string ErrorTextFor(int code) {
    switch (code) {
        case NoError: return "";
        case FileNotFoundErr: return "File Not Found";
        case AccessDeniedErr: return "Access Denied";
        case RecordNotAvailErr: return "Record Not Available";
        case DupKeyErr: return "Creates Duplicate Key";
        case IsHeldErr: return "Record Is Already Held";
        case BadKeyErr: return "Key File Must Be Rebuilt";
        case AlreadyOpenErr: return "File Already Open";
        case RecordChangedErr: return "Record Changed By Another Station";
        case FileSystemErr: return "File System Error";
        default: return "Unknown Error";
    }
}

namespace {
thread_local RuntimeErrorState state;
}

const RuntimeErrorState& LastError() { return state; }

void SetLastError(int code, int fileCode, const std::string& fileText) {
    state.Code = code;
    state.Text = ErrorTextFor(code);
    state.FileCode = fileCode;
    state.FileText = fileText;
}

void SetLastError(const RuntimeErrorState& failure) { state = failure; }

void ClearLastError() { state = RuntimeErrorState{}; }

std::string StoreFailureText(const RuntimeErrorState& failure) {
    if (failure.Code == FileSystemErr) return failure.FileText + " (" + std::to_string(failure.FileCode) + ")";
    return failure.Text + " (" + std::to_string(failure.Code) + ")";
}

}  // namespace verdo
