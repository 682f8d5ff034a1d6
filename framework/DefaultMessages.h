#pragma once
#include <cstdint>
#include <span>

namespace verdo {

// The identifiers of the standard messages; other code raises a message by these names.
enum MessageId : uint16_t {
    RetrievalError = 1,
    ReadOnlyNotice = 2,
    AnotherRecordQuestion = 3,
    InsertError = 4,
    AddNewRecordNotice = 5,
    ChangedByOther = 6,
    ChangedByOtherRedisplay = 7,
    CancelQuestion = 8,
    DeleteQuestion = 9,
    TableCreateError = 10,
    DeleteError = 11,
    DeleteRefusedNotice = 12,
    DuplicateKeyNotice = 13,
    ValueLookupNotice = 14,
    ValueListNotice = 15,
    ValueRangeNotice = 16,
    ValueAboveLimit = 17,
    ValueBelowLimit = 18,
    LoadError = 19,
    InsertRefusedNotice = 20,
    TransactionError = 21,
    NoRecordsNotice = 22,
    OpenError = 23,
    UndefinedProcedureNotice = 24,
    UpdateError = 25,
    KeyRepairError = 26,
    InvalidKeyNotice = 27,
    HeldRecordNotice = 28,
    LinkedDeleteRefused = 30,
    LinkedUpdateRefused = 31,
    AutoNumberQuestion = 32,
    DeleteRetryQuestion = 33,
    SaveRetryQuestion = 34,
    SaveQuestion = 35,
    WrapToEndQuestion = 36,
    WrapToStartQuestion = 37,
    ChangeRefusedNotice = 38,
    TableNotOpenError = 39,
    ViewOpenError = 40,
    QueryColumnNotice = 41,
};

// One standard message: the texts are shown as written, placeholders aside.
struct DefaultMessage {
    MessageId Id;
    uint8_t Level;
    const char* Title;
    const char* Text;
};

// The standard messages in the order they are loaded.
std::span<const DefaultMessage> DefaultMessageTable();

}  // namespace verdo
