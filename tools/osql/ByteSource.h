#pragma once

#include <cstddef>
#include <cstdint>

namespace zobran::osql {

// Where the script splitter takes its bytes from, a piece at a time.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to n bytes into target; 0 only at the end.
    virtual std::size_t read(char* target, std::size_t n) = 0;
    // Reading goes on at offset, counted from the first byte of the source.
    virtual void seek(std::int64_t offset) = 0;
};

} // namespace zobran::osql
