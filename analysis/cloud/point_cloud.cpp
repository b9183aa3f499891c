#include "analysis/cloud/point_cloud.h"

#include <cctype>

#include "model/error.h"
#include "model/files.h"
#include "model/wording.h"

namespace trelmox {

namespace {

// A cloud file of 50 million points as ASCII text is some 2 GB.
constexpr std::size_t MaxCloudFileBytes = std::size_t{2} << 30;

constexpr char Letters[3][2] = {{'E', 'W'}, {'N', 'S'}, {'U', 'D'}};

Error frameError(std::string_view text) {
    return Error::refused(
        say("坐标轴“" + std::string(text.substr(0, 20)) +
                "”应为三个字母，依次是文件 x、y、z 轴的方向，取自 E、W、N、S、U、D，各轴一次（如 ENU）",
            "the frame \"" + std::string(text.substr(0, 20)) +
                "\" should be three letters, the directions of the file's x, y and z axes from E, "
                "W, N, S, U, D, each axis once (e.g. ENU)"),
        "frame");
}

} // namespace

CloudFrame parseCloudFrame(std::string_view text) {
    if (text.size() != 3) throw frameError(text);
    CloudFrame frame;
    bool used[3] = {};
    for (int i = 0; i < 3; ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        bool found = false;
        for (int axis = 0; axis < 3 && !found; ++axis)
            for (int sign = 0; sign < 2; ++sign)
                if (c == Letters[axis][sign]) {
                    if (used[axis]) throw frameError(text);
                    used[axis] = found = true;
                    frame.Axis[i] = axis;
                    frame.Sign[i] = sign == 0 ? 1 : -1;
                    break;
                }
        if (!found) throw frameError(text);
    }
    return frame;
}

std::string cloudFrameText(const CloudFrame& frame) {
    std::string text;
    for (int i = 0; i < 3; ++i) text += Letters[frame.Axis[i]][frame.Sign[i] > 0 ? 0 : 1];
    return text;
}

void applyFrame(const CloudFrame& frame, std::vector<TPoint3D>& points) {
    if (frame.identity()) return;
    for (TPoint3D& p : points) {
        const double in[3] = {p.x, p.y, p.z};
        double out[3] = {};
        for (int i = 0; i < 3; ++i) out[frame.Axis[i]] = frame.Sign[i] * in[i];
        p = {out[0], out[1], out[2]};
    }
}

PointCloud readCloudBytes(std::string_view bytes) {
    if (bytes.starts_with("ply\n") || bytes.starts_with("ply\r\n")) return readPly(bytes);
    if (bytes.starts_with("LASF")) return readLas(bytes);
    if (bytes.empty()) throw Error::refused(inLanguage("文件是空的，没有点", "the file is empty: it holds no point"));
    return readXyz(bytes);
}

PointCloud readCloudFile(const std::filesystem::path& path, const CloudFrame& frame) {
    try {
        PointCloud cloud = readCloudBytes(readFileBytes(path, MaxCloudFileBytes));
        applyFrame(frame, cloud.Points);
        return cloud;
    } catch (const Error& e) {
        throw e.prefixed(path.string() + ": ").withPath(path);
    }
}

} // namespace trelmox
