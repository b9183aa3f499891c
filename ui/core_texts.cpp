#include "ui/core_texts.h"

#include <QCoreApplication>

#include <string>

#include "model/block.h"

namespace trelmox::ui {

namespace {

// Listed for the translation tools: the engine's captions as it words them.
[[maybe_unused]] constexpr const char* Captions[] = {
    // planes
    QT_TRANSLATE_NOOP("CoreTexts", "第一切割面"), QT_TRANSLATE_NOOP("CoreTexts", "第二切割面"), QT_TRANSLATE_NOOP("CoreTexts", "坡顶面"), QT_TRANSLATE_NOOP("CoreTexts", "坡面"),
    // inputs of the probabilistic and sensitivity analyses
    QT_TRANSLATE_NOOP("CoreTexts", "第一切割面倾角"), QT_TRANSLATE_NOOP("CoreTexts", "第一切割面倾向"), QT_TRANSLATE_NOOP("CoreTexts", "第二切割面倾角"),
    QT_TRANSLATE_NOOP("CoreTexts", "第二切割面倾向"), QT_TRANSLATE_NOOP("CoreTexts", "坡顶面倾角"), QT_TRANSLATE_NOOP("CoreTexts", "坡顶面倾向"),
    QT_TRANSLATE_NOOP("CoreTexts", "坡面倾角"), QT_TRANSLATE_NOOP("CoreTexts", "坡面倾向"), QT_TRANSLATE_NOOP("CoreTexts", "第一切割面粘聚力 c1"),
    QT_TRANSLATE_NOOP("CoreTexts", "第一切割面摩擦系数 f1"), QT_TRANSLATE_NOOP("CoreTexts", "第二切割面粘聚力 c2"), QT_TRANSLATE_NOOP("CoreTexts", "第二切割面摩擦系数 f2"),
    QT_TRANSLATE_NOOP("CoreTexts", "岩体容重"), QT_TRANSLATE_NOOP("CoreTexts", "水的容重"), QT_TRANSLATE_NOOP("CoreTexts", "坡高 H"),
    QT_TRANSLATE_NOOP("CoreTexts", "第一切割面水压力 u1"), QT_TRANSLATE_NOOP("CoreTexts", "第二切割面水压力 u2"), QT_TRANSLATE_NOOP("CoreTexts", "地震系数 k"),
    QT_TRANSLATE_NOOP("CoreTexts", "张裂缝距坡顶距离"), QT_TRANSLATE_NOOP("CoreTexts", "张裂缝充水深度"), QT_TRANSLATE_NOOP("CoreTexts", "外力合计"),
    QT_TRANSLATE_NOOP("CoreTexts", "锚杆力合计"), QT_TRANSLATE_NOOP("CoreTexts", "平面1在坡面上的迹长"), QT_TRANSLATE_NOOP("CoreTexts", "平面2在坡面上的迹长"),
    QT_TRANSLATE_NOOP("CoreTexts", "平面1在坡顶面上的迹长"), QT_TRANSLATE_NOOP("CoreTexts", "平面2在坡顶面上的迹长"), QT_TRANSLATE_NOOP("CoreTexts", "平面1的延伸长度"),
    QT_TRANSLATE_NOOP("CoreTexts", "平面2的延伸长度"), QT_TRANSLATE_NOOP("CoreTexts", "边坡走向长度"), QT_TRANSLATE_NOOP("CoreTexts", "台阶高度"),
    QT_TRANSLATE_NOOP("CoreTexts", "台阶宽度"), QT_TRANSLATE_NOOP("CoreTexts", "张裂缝倾角"), QT_TRANSLATE_NOOP("CoreTexts", "张裂缝倾向"),
    // distributions
    QT_TRANSLATE_NOOP("CoreTexts", "固定值"), QT_TRANSLATE_NOOP("CoreTexts", "正态分布"), QT_TRANSLATE_NOOP("CoreTexts", "均匀分布"), QT_TRANSLATE_NOOP("CoreTexts", "对数正态分布"),
    QT_TRANSLATE_NOOP("CoreTexts", "指数分布"), QT_TRANSLATE_NOOP("CoreTexts", "三角形分布"), QT_TRANSLATE_NOOP("CoreTexts", "贝塔分布"), QT_TRANSLATE_NOOP("CoreTexts", "伽马分布"),
    // kinematic modes
    QT_TRANSLATE_NOOP("CoreTexts", "平面滑动"), QT_TRANSLATE_NOOP("CoreTexts", "楔形滑动"), QT_TRANSLATE_NOOP("CoreTexts", "弯曲倾倒"), QT_TRANSLATE_NOOP("CoreTexts", "直接倾倒"),
    // contacts of the real wedge
    QT_TRANSLATE_NOOP("CoreTexts", "不能切出块体"), QT_TRANSLATE_NOOP("CoreTexts", "双面接触"), QT_TRANSLATE_NOOP("CoreTexts", "仅第一切割面接触"),
    QT_TRANSLATE_NOOP("CoreTexts", "仅第二切割面接触"), QT_TRANSLATE_NOOP("CoreTexts", "浮起"), QT_TRANSLATE_NOOP("CoreTexts", "未定"),
    // the probabilistic analysis' two methods
    QT_TRANSLATE_NOOP("CoreTexts", "Kc（楔块按坡顶面水平于坡高处归一化计算）"), QT_TRANSLATE_NOOP("CoreTexts", "Fs（实际楔块，矢量法，含张裂缝、荷载与支护）"),
};

} // namespace

QString coreText(const char* caption) { return QCoreApplication::translate("CoreTexts", caption); }

QString coreText(const std::string& caption) { return coreText(caption.c_str()); }

QString planeName(int role) { return coreText(PlaneNames[role]); }

} // namespace trelmox::ui
