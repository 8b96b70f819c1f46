#pragma once

#include "osql/ByteSource.h"

#include <QByteArrayView>
#include <QString>

namespace zobran::osql {

// A script file read in chunks, never whole. Its text is UTF-8 when every byte of it is valid UTF-8
// (a leading byte-order mark is no part of the text), else Windows-1252, as files written on Windows
// are. The check reads the file once when it opens.
// Failures raise FileError: 53 for a missing file, 76 for a missing folder, 75 for anything else.
class ScriptFile : public ByteSource {
public:
    explicit ScriptFile(const QString& path);
    ~ScriptFile() override;
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;

    std::size_t read(char* target, std::size_t n) override;
    void seek(std::int64_t offset) override;

    bool isUtf8() const { return utf8_; }
    // Where the text begins: after the byte-order mark, if any. Reading starts there.
    std::int64_t textOffset() const { return textOffset_; }
    // Text of the file's bytes in the file's encoding.
    QString decode(QByteArrayView bytes) const;
    const QString& path() const { return path_; }

private:
    bool checkUtf8();

    QString path_;
    int fd_ = -1;
    bool utf8_ = true;
    std::int64_t textOffset_ = 0;
};

} // namespace zobran::osql
