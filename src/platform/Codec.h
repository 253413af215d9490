#pragma once
// Code page 950 (Big5) text: the only encoding of every file the program
// reads or writes. All decoding and encoding goes through here.
#include <QByteArray>
#include <QString>

namespace Codec {

// Decodes a whole file's bytes at once. Sets *ok to false when a byte
// sequence was not valid code page 950 (the text then holds what could be
// decoded). A lone lead byte at the very end is dropped and reported.
QString decode(const QByteArray& bytes, bool* ok = nullptr);

// Decodes n bytes into dest, which must hold n characters; returns how many
// were written, or -1 when the bytes are not clean code page 950 (decode
// them with decode() then, which reports and recovers what it can).
qsizetype decodeTo(char16_t* dest, const char* bytes, qsizetype n);

// Encodes text. Characters code page 950 cannot hold become "?" and set
// *lossless to false.
QByteArray encode(const QString& text, bool* lossless = nullptr);

// Appends the code page 950 bytes of text to out (the fast path of
// encode for writers that build a file piece by piece). Returns false when
// a character could not be held ("?" written in its place).
bool appendEncoded(QByteArray& out, QStringView text);

// Writes the bytes of text to dest, which must hold 2 * text.size() bytes;
// returns how many were written. *clean becomes false when a character could
// not be held.
qsizetype encodeTo(char* dest, QStringView text, bool* clean);

// The same for a quoted field of a table file: a double quote left in the
// text is written as "'" so that the file always reads back.
qsizetype encodeFieldTo(char* dest, QStringView text, bool* clean);

// True when every character of text survives a round trip through code page 950.
bool canEncode(const QString& text);

// Text for HTML in a page declared charset=big5: characters that code page
// 950 cannot hold become numeric character references (&#NNNNN;). Does not
// escape markup; callers escape values first.
QString htmlSafe(const QString& text);

// Reads a whole file and decodes it. Returns false when the file cannot be
// read or does not decode cleanly; *text receives what could be decoded.
bool readTextFile(const QString& path, QString* text);

}  // namespace Codec
