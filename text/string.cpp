#include "text/string.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/platform.h"

static const int64_t kMaxLength = INT32_MAX;

String::String(const char* text) { Append(text); }

String::String(const String& other) { AppendBytes(other.bytes, other.length); }

String::String(String&& other) noexcept : bytes(other.bytes), length(other.length)
{
    other.bytes = nullptr;
    other.length = 0;
}

String& String::operator=(const String& other)
{
    if (this != &other) {
        Clear();
        AppendBytes(other.bytes, other.length);
    }
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other) {
        free(bytes);
        bytes = other.bytes;
        length = other.length;
        other.bytes = nullptr;
        other.length = 0;
    }
    return *this;
}

String& String::operator=(const char* text)
{
    // The text may point into this String's own buffer.
    String copy(text);
    *this = static_cast<String&&>(copy);
    return *this;
}

String::~String() { free(bytes); }

// The buffer a text of `length` bytes lives in: its length and NUL rounded up
// to a power of two, so that a text built in many small appends is copied
// only a few times rather than once for every piece.
static size_t BufferSizeFor(int64_t length)
{
    size_t size = 16;
    while (size < static_cast<size_t>(length) + 1)
        size *= 2;
    return size;
}

bool String::Reserve(int64_t newLength)
{
    if (newLength > kMaxLength) {
        Clear();
        return false;
    }
    // Every buffer is BufferSizeFor(length) bytes, so equal sizes mean the
    // text already fits.
    size_t size = BufferSizeFor(newLength);
    if (bytes && size == BufferSizeFor(length))
        return true;
    char* grown = static_cast<char*>(realloc(bytes, size));
    if (!grown) {
        Clear();
        return false;
    }
    bytes = grown;
    return true;
}

void String::AppendBytes(const char* data, int32_t count)
{
    if (!data || count <= 0)
        return;
    int64_t newLength = static_cast<int64_t>(length) + count;
    // The data may lie inside our own buffer, which realloc may move.
    bool inside = bytes && data >= bytes && data < bytes + length;
    int64_t offset = inside ? data - bytes : 0;
    if (!Reserve(newLength))
        return;
    const char* source = inside ? bytes + offset : data;
    memmove(bytes + length, source, static_cast<size_t>(count));
    length = static_cast<int32_t>(newLength);
    bytes[length] = '\0';
}

void String::Append(const String& part) { AppendBytes(part.bytes, part.length); }

void String::Append(const char* text)
{
    if (!text)
        return;
    size_t count = strlen(text);
    if (count > static_cast<size_t>(kMaxLength)) {
        Clear();
        return;
    }
    AppendBytes(text, static_cast<int32_t>(count));
}

void String::AppendByte(char byte) { AppendBytes(&byte, 1); }

void String::Clear()
{
    free(bytes);
    bytes = nullptr;
    length = 0;
}

bool String::Equals(const String& other, bool ignoreCase) const
{
    if (length != other.length)
        return false;
    for (int32_t i = 0; i < length; ++i) {
        char a = bytes[i], b = other.bytes[i];
        if (ignoreCase) {
            a = ToUpperAscii(a);
            b = ToUpperAscii(b);
        }
        if (a != b)
            return false;
    }
    return true;
}

int32_t String::Find(char byte, int32_t start, bool ignoreCase) const
{
    if (start < 0 || start > length)
        return -1;
    char wanted = ignoreCase ? ToUpperAscii(byte) : byte;
    for (int32_t i = start; i < length; ++i) {
        char c = ignoreCase ? ToUpperAscii(bytes[i]) : bytes[i];
        if (c == wanted)
            return i;
    }
    return -1;
}

int32_t String::FindLast(char byte, int32_t start, bool ignoreCase) const
{
    if (start < 0 || start > length)
        return -1;
    char wanted = ignoreCase ? ToUpperAscii(byte) : byte;
    int32_t from = start < length ? start : length - 1;
    for (int32_t i = from; i >= 0; --i) {
        char c = ignoreCase ? ToUpperAscii(bytes[i]) : bytes[i];
        if (c == wanted)
            return i;
    }
    return -1;
}

int32_t String::ToInt() const
{
    uint32_t value = 0;
    bool negative = false;
    bool digitSeen = false;
    for (int32_t i = 0; i < length; ++i) {
        char c = bytes[i];
        if (c >= '0' && c <= '9') {
            value = value * 10u + static_cast<uint32_t>(c - '0');
            digitSeen = true;
        } else if (digitSeen) {
            break;
        } else if (c == '-') {
            if (negative)
                return 0;
            negative = true;
        } else if (!IsSpace(c)) {
            break;
        }
    }
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

void String::FromInt(int32_t value, int32_t minimumDigits)
{
    char digits[10];
    int32_t count = 0;
    // The magnitude of INT32_MIN does not fit an int32, so count in 64 bits.
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    int64_t padding = minimumDigits > count ? minimumDigits - count : 0;
    int64_t sign = value < 0 ? 1 : 0;
    // One allocation for the whole text, so that a padding the memory cannot
    // hold leaves the String empty at once.
    Clear();
    if (!Reserve(sign + padding + count))
        return;
    char* out = bytes;
    if (sign)
        *out++ = '-';
    memset(out, '0', static_cast<size_t>(padding));
    out += padding;
    while (count > 0)
        *out++ = digits[--count];
    length = static_cast<int32_t>(out - bytes);
    bytes[length] = '\0';
}

void String::AppendPath(const String& part)
{
    if (part.IsEmpty())
        return;
    if (!IsEmpty())
        AppendByte('\\');
    Append(part);
}

void String::ReplaceBytes(char from, char to)
{
    for (int32_t i = 0; i < length; ++i)
        if (bytes[i] == from)
            bytes[i] = to;
}

void String::ToBackslashes() { ReplaceBytes('/', '\\'); }

void String::ToSlashes() { ReplaceBytes('\\', '/'); }

String Substring(const String& source, int32_t from, int32_t to)
{
    int32_t length = source.Length();
    if (from < 0)
        from = 0;
    if (from > length)
        from = length;
    if (to < 0)
        to = 0;
    if (to > length)
        to = length;
    String result;
    if (to > from)
        result.AppendBytes(source.Text() + from, to - from);
    return result;
}

bool IsSpace(char byte) { return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' '; }

char ToUpperAscii(char byte) { return (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 32) : byte; }

uint32_t HashNameLetters(const String& name, uint32_t buckets)
{
    uint32_t hash = 0;
    for (int32_t i = 0; i < name.Length(); ++i) {
        char letter = ToUpperAscii(name[i]);
        if (letter >= 'A' && letter <= 'Z')
            hash = (hash * 26 + static_cast<uint32_t>(letter - 64)) % buckets;
    }
    return hash;
}

// The folder is built in a byte buffer with the start of each component
// kept on a stack, so ".." drops a component without copying the rest: the
// work grows with the path's length only.
void SplitPath(String& folder, const String& path, String& fileName)
{
    int32_t lastSlash = path.FindLast('\\', path.Length(), false);
    if (lastSlash < 0) {
        fileName = path;
        return;
    }
    std::vector<char> built(folder.Text(), folder.Text() + folder.Length());
    std::vector<size_t> starts;
    for (size_t i = 0; i < built.size(); ++i)
        if (built[i] == '\\')
            starts.push_back(i);
    const char* text = path.Text();
    int32_t start = 0;
    while (start <= lastSlash) {
        int32_t end = start;
        while (end < lastSlash && text[end] != '\\')
            end += 1;
        int32_t count = end - start;
        if (count == 2 && text[start] == '.' && text[start + 1] == '.') {
            // Cut before the last '\', or empty the folder when it has none.
            built.resize(starts.empty() ? 0 : starts.back());
            if (!starts.empty())
                starts.pop_back();
        } else if (count > 0) {
            if (!built.empty()) {
                starts.push_back(built.size());
                built.push_back('\\');
            }
            built.insert(built.end(), text + start, text + end);
        }
        start = end + 1;
    }
    // Copy the name first: fileName may be the same object as path.
    String name = Substring(path, lastSlash + 1, path.Length());
    folder.Clear();
    // Like any String, a folder that would pass 2147483647 bytes stays empty.
    if (built.size() <= size_t(kMaxLength))
        folder.AppendBytes(built.data(), int32_t(built.size()));
    fileName = name;
}

FILE* OpenFileForReading(const String& path) { return PlatformOpenFile(path.Text()); }

bool InputFile::Open(const String& name, int64_t most)
{
    Close();
    file = OpenFileForReading(name);
    blockUsed = blockLength = 0;
    bytesRead = 0;
    mostBytes = most;
    tooLong = false;
    if (!file)
        return false;
    blockLength = int32_t(fread(block, 1, sizeof block, file));
    if (blockLength >= 3 && memcmp(block, "\xEF\xBB\xBF", 3) == 0)
        blockUsed = 3;
    return true;
}

bool InputFile::Close()
{
    if (!file)
        return false;
    fclose(file);
    file = nullptr;
    return true;
}

bool InputFile::ReadByte(char& byte)
{
    if (!file || tooLong)
        return false;
    if (blockUsed == blockLength) {
        blockUsed = 0;
        blockLength = int32_t(fread(block, 1, sizeof block, file));
        if (blockLength == 0)
            return false;
    }
    if (bytesRead == mostBytes) {
        tooLong = true;
        return false;
    }
    bytesRead += 1;
    byte = block[blockUsed++];
    return true;
}

bool InputFile::ReadLine(String& line)
{
    if (!file)
        return false;
    line.Clear();
    char buffer[1023];
    int32_t used = 0;
    bool added = false;
    char c;
    while (ReadByte(c)) {
        if (c == '\n') {
            line.AppendBytes(buffer, used);
            return true;
        }
        if (c == '\r')
            continue;
        buffer[used++] = c;
        added = true;
        if (used == static_cast<int32_t>(sizeof buffer)) {
            line.AppendBytes(buffer, used);
            used = 0;
        }
    }
    line.AppendBytes(buffer, used);
    return added && !tooLong;
}
