#pragma once

namespace richtext::detail {

// The characters of bytes 0x80-0xFF in a single-byte code page; nullptr for
// a code page without a table (double-byte ones and unknown numbers).
const char16_t* upperHalf(int codePage);

} // namespace richtext::detail
