#include "drawing/dxf.h"

#include <initializer_list>

#include "model/files.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

class DxfLines {
public:
    void add(const std::string& line) { text_ += line + "\r\n"; }
    void add(std::initializer_list<const char*> lines) {
        for (const char* line : lines) add(line);
    }
    // Group codes for the three coordinates of a point, then the values.
    void point(const char* x, const char* y, const char* z, const TPoint3D& p) {
        add(x), add(floatToText(p.x)), add(y), add(floatToText(p.y)), add(z), add(floatToText(p.z));
    }
    std::string text() const { return text_; }

private:
    std::string text_;
};

void addLine(DxfLines& dxf, const TPoint3D& start, const TPoint3D& end, bool magenta) {
    dxf.add({"  0", "LINE", "  8", "0"});
    if (magenta) dxf.add({"62", "6"});
    dxf.point("10", "20", "30", start);
    dxf.point("11", "21", "31", end);
}

void addLabel(DxfLines& dxf, const TPoint3D& at, const char* label) {
    dxf.add({"  0", "TEXT", "  8", "0"});
    dxf.point("10", "20", "30", at);
    dxf.add({"40", "10", "1", label});
}

} // namespace

std::string dxfText(const BlockVertices& v) {
    DxfLines dxf;
    dxf.add({" 0", "SECTION", "  2", "ENTITIES"});
    // The line of intersection of the cutting planes stands out in magenta.
    addLine(dxf, v.Vertex1, v.Vertex2, true);
    addLine(dxf, v.Vertex1, v.Vertex3, false);
    addLine(dxf, v.Vertex1, v.Vertex4, false);
    addLine(dxf, v.Vertex2, v.Vertex3, false);
    addLine(dxf, v.Vertex2, v.Vertex4, false);
    addLine(dxf, v.Vertex3, v.Vertex4, false);
    addLabel(dxf, v.Vertex1, "1");
    addLabel(dxf, v.Vertex2, "2");
    addLabel(dxf, v.Vertex3, "3");
    addLabel(dxf, v.Vertex4, "4");
    dxf.add({"  0", "ENDSEC", "  0", "EOF", " "});
    return dxf.text();
}

std::string dxfFileName(const std::string& blockName) { return blockName + "block.dxf"; }

void writeDxf(const std::filesystem::path& reportFolder, const std::string& blockName, const BlockVertices& vertices) {
    checkBlockName(blockName);
    writeFileAtomically(reportFolder / dxfFileName(blockName), dxfText(vertices));
}

} // namespace trelmox
