#pragma once
// The program's standard error as a stream buffer: whole lines go to
// platform::write_standard_error, which shows them as characters on a
// Windows console and as UTF-8 bytes anywhere else.

#include <streambuf>
#include <string>

namespace quillmere::cli {

class ErrorStreamBuffer : public std::streambuf {
public:
    ErrorStreamBuffer() = default;
    ErrorStreamBuffer(const ErrorStreamBuffer&) = delete;
    ErrorStreamBuffer& operator=(const ErrorStreamBuffer&) = delete;
    ~ErrorStreamBuffer() override;

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    // Writes the complete lines held; a line is written whole, so that no
    // character is cut in two on its way to a console.
    int sync() override;

private:
    std::string pending_;
};

}  // namespace quillmere::cli
