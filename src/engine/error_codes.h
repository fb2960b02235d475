#pragma once
#include <cstdint>
#include <string>

// The one-sentence description of a display or sound device result code,
// or "No futher information" for a code the table does not know.
const char* describeResultCode(int32_t code);

// The number of rows of the table (each row a code).
int resultCodeCount();

// "Function <operation>: '<message>'" and, unless code is -1,
// "', error code: 0x%08X (<description>)".
std::string formatErrorText(const std::string& operation, const std::string& message, int32_t code);
