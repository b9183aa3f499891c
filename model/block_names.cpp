#include "model/block_names.h"

#include <algorithm>
#include <vector>

#include "model/attitude.h"
#include "model/error.h"
#include "model/language.h"
#include "model/shown_text.h"

namespace trelmox {

namespace fs = std::filesystem;

std::string lowerAsciiLetters(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

fs::path blockFilePath(const fs::path& dataFolder, const std::string& blockName) {
    const std::string fileName = blockName + ".txt";
    const fs::path exact = dataFolder / fileName;
    std::error_code error;
    if (fs::exists(exact, error)) return exact;
    const std::string wanted = lowerAsciiLetters(fileName);
    std::vector<std::string> matches;
    for (fs::directory_iterator it(dataFolder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (lowerAsciiLetters(name) == wanted && !it->is_directory(error)) matches.push_back(name);
    }
    if (matches.empty()) return exact;
    if (matches.size() == 1) return dataFolder / matches.front();
    std::sort(matches.begin(), matches.end());
    std::string names;
    const bool english = messageLanguage() == Language::English;
    for (const std::string& name : matches) names += (names.empty() ? "" : english ? ", " : "、") + name;
    if (english)
        throw Error::refused("the data folder has several files whose names differ from \"" + fileName +
                             "\" only in the case of letters (" + names + "); cannot tell which one to load");
    throw Error::refused("数据文件夹中有多个文件与“" + fileName + "”只有字母大小写不同（" + names +
                         "），无法确定载入哪一个");
}

// The block name is the file name up to its first ".", as the windows name
// a block after the text in the block-name box; a name in GBK bytes (from
// an archive made on a GBK system) is read as such.
std::string blockNameOf(const std::filesystem::path& file) { return Parse(".", nameText(file.filename().string()), 1); }

} // namespace trelmox
