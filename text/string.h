// String: the byte string used for every name, path and message, with a
// signed length. InputFile: the byte and line reader for text files.
//
// A String owns its bytes, always followed by a NUL; an empty String owns
// nothing and Text() gives a shared "" so callers never see a null pointer.
// When memory for a new text cannot be had the String becomes empty, and so
// does any text that would grow past 2147483647 bytes.
//
// Paths are joined with '\' (AppendPath); ToBackslashes turns '/' into '\'.
#pragma once

#include <cstdint>
#include <cstdio>

class String {
public:
    String() = default;
    String(const char* text);
    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* text);
    ~String();

    const char* Text() const { return bytes ? bytes : ""; }
    int32_t Length() const { return length; }
    bool IsEmpty() const { return length == 0; }
    // The byte at a position that must lie within 0..Length()-1.
    char operator[](int32_t position) const { return bytes[position]; }

    void Append(const String& part);
    void Append(const char* text);
    void AppendBytes(const char* data, int32_t count);
    void AppendByte(char byte);
    void Clear();

    bool Equals(const String& other, bool ignoreCase) const;
    // -1 when start lies outside 0..Length() or the byte is not found.
    int32_t Find(char byte, int32_t start, bool ignoreCase) const;
    int32_t FindLast(char byte, int32_t start, bool ignoreCase) const;

    // The decimal number at the start of the text: blanks and one '-' may
    // come before the digits. Digits beyond the 32-bit range wrap around
    // modulo 2^32, as a 32-bit multiply-and-add would, without undefined
    // behaviour.
    int32_t ToInt() const;
    // Replaces the text with the decimal value, padded on the left with '0'
    // to at least minimumDigits digits (the '-' does not count).
    void FromInt(int32_t value, int32_t minimumDigits);

    // Appends '\' (when this String is not empty) and then part; an empty
    // part changes nothing.
    void AppendPath(const String& part);
    void ToBackslashes();
    // Every '\' becomes '/', for systems that separate folders with '/'.
    void ToSlashes();

private:
    bool Reserve(int64_t newLength);
    void ReplaceBytes(char from, char to);

    char* bytes = nullptr;
    int32_t length = 0;
};

// The bytes from position `from` up to, not including, `to`, both clamped to
// 0..Length(); empty when to is below from.
String Substring(const String& source, int32_t from, int32_t to);

bool IsSpace(char byte);
char ToUpperAscii(char byte);
// File names are compared ignoring the case of a to z.
inline bool FileNamesIgnoreCase() { return true; }
// The name-table hash of a file name: only its letters count, case-folded,
// h = h x 26 + letter number (A = 1), modulo the table size.
uint32_t HashNameLetters(const String& name, uint32_t buckets);

// Splits path at its last '\' into the file name and the folder part, which
// is appended component by component to `folder`: ".." removes the last
// component of folder, empty components are skipped.
void SplitPath(String& folder, const String& path, String& fileName);

// Opens a file for binary reading, through the platform (PlatformOpenFile).
// Paths are written with '\' between folders; where the system's separator
// is '/', it stands in for each '\'. Only a regular file on disk opens: a
// folder, a pipe or a device does not.
FILE* OpenFileForReading(const String& path);

// No text file of the game comes near this size; reading stops past it.
const int64_t kMostTextFileBytes = 1 << 20;

class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() { Close(); }

    // A UTF-8 byte-order mark at the very start, as some editors write, is
    // skipped. Reading stops past mostBytes.
    bool Open(const String& name, int64_t mostBytes = kMostTextFileBytes);
    bool Close();
    bool ReadByte(char& byte);
    // One line without its line feed; carriage returns are dropped. False at
    // the end of the file when no byte was read in this call.
    bool ReadLine(String& line);
    // True once the file turned out longer than its most bytes: reading
    // stopped there, and the file counts as malformed.
    bool TooLong() const { return tooLong; }

private:
    FILE* file = nullptr;
    // Read a block at a time: a byte at a time through stdio costs many
    // times more, and a font may have 256 pages.
    char block[4096];
    int32_t blockUsed = 0, blockLength = 0;
    int64_t bytesRead = 0;
    int64_t mostBytes = 0;
    bool tooLong = false;
};
