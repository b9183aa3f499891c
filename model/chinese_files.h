#pragma once
// The files other programs and the design office read keep their Chinese
// whatever language the interface or the tool speaks. A picture file, for
// one, is compared byte for byte with what earlier versions wrote and
// filed beside the data file. While a ChineseFiles lives, every text worded
// on its thread is the Chinese one; other threads keep the chosen language.
namespace trelmox {

class ChineseFiles {
public:
    ChineseFiles();
    ~ChineseFiles();
    ChineseFiles(const ChineseFiles&) = delete;
    ChineseFiles& operator=(const ChineseFiles&) = delete;
};

} // namespace trelmox
