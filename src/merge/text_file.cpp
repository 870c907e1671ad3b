#include "merge/text_file.h"

std::string joinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    path += kPathSeparator;
    path += name;
    return path;
}

bool readTextFile(const std::string& path, std::string& text, std::size_t* sizeOnDisk) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    text.clear();
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (sizeOnDisk != nullptr)
        *sizeOnDisk = text.size();

    // Drop the CR of every CR LF, in place.
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        if (text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n')
            continue;
        text[out++] = text[in];
    }
    text.resize(out);
    return ok;
}

TextFileWriter::~TextFileWriter() {
    if (file_ != nullptr)
        std::fclose(file_);
}

bool TextFileWriter::open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    failed_ = file_ == nullptr;
    return file_ != nullptr;
}

void TextFileWriter::write(std::string_view text) {
    if (file_ == nullptr)
        return;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (std::fwrite(text.data() + start, 1, stop - start, file_) != stop - start)
            failed_ = true;
        if (end == std::string_view::npos)
            break;
        if (std::fwrite("\r\n", 1, 2, file_) != 2)
            failed_ = true;
        start = end + 1;
    }
}

bool TextFileWriter::close() {
    if (file_ == nullptr)
        return false;
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
    return !failed_;
}
