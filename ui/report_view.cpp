#include "ui/report_view.h"

#include <QCoreApplication>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include "model/block.h"
#include "model/language.h"
#include "ui/core_texts.h"

namespace trelmox::ui {

namespace {

QString translated(const char* text) { return QCoreApplication::translate("ReportView", text); }

// The report's labels (before the ":" of their line, without the running
// number) in English.
QHash<QString, QString> englishLabels() {
    QHash<QString, QString> labels;
    for (int plane = 0; plane < PlaneCount; ++plane) {
        const QString name = QString::fromUtf8(PlaneNames[plane]);
        labels.insert(name + QStringLiteral("倾角及倾向角"),
                      QCoreApplication::translate("ReportView", "%1倾角及倾向角").arg(planeName(plane)));
        labels.insert(name + QStringLiteral("走向及倾向角"),
                      QCoreApplication::translate("ReportView", "%1走向及倾向角").arg(planeName(plane)));
    }
    const char* const fixed[] = {
        QT_TRANSLATE_NOOP("ReportView", "第一部分：楔块的地质参数"),
        QT_TRANSLATE_NOOP("ReportView", "第二部分：楔块的物理力学参数"),
        QT_TRANSLATE_NOOP("ReportView", "第三部分：楔块稳定分析结果"),
        QT_TRANSLATE_NOOP("ReportView", "楔块的高度"),
        QT_TRANSLATE_NOOP("ReportView", "第一结构面的f值"),
        QT_TRANSLATE_NOOP("ReportView", "第一结构面的c值"),
        QT_TRANSLATE_NOOP("ReportView", "第二结构面的f值"),
        QT_TRANSLATE_NOOP("ReportView", "第二结构面的c值"),
        QT_TRANSLATE_NOOP("ReportView", "岩石的容重r"),
        QT_TRANSLATE_NOOP("ReportView", "水的容重r"),
        QT_TRANSLATE_NOOP("ReportView", "楔块的体积"),
        QT_TRANSLATE_NOOP("ReportView", "交线的倾角"),
        QT_TRANSLATE_NOOP("ReportView", "楔块的稳定安全系数"),
    };
    for (const char* label : fixed) labels.insert(QString::fromUtf8(label), translated(label));
    return labels;
}

QString englishLine(const QString& line, const QHash<QString, QString>& labels) {
    static const QRegularExpression title(QStringLiteral("^(\\*+)楔块(.*)稳定分析导出文件(\\*+)$"));
    if (const auto match = title.match(line); match.hasMatch())
        return match.captured(1) +
               QCoreApplication::translate("ReportView", " 楔块%1稳定分析导出文件 ").arg(match.captured(2)) +
               match.captured(3);
    if (const auto section = labels.find(line); section != labels.end()) return *section;
    // "2.第一结构面的f值:\tf1=\t0.364": the number, the label, the rest.
    static const QRegularExpression labelled(QStringLiteral("^(\\d+\\.)([^:]+)(:.*)$"));
    const auto match = labelled.match(line);
    if (!match.hasMatch()) return line;
    const auto label = labels.find(match.captured(2));
    return label == labels.end() ? line : match.captured(1) + u' ' + *label + match.captured(3);
}

} // namespace

QString reportForViewer(const QString& fileText) {
    if (messageLanguage() != Language::English) return fileText;
    const QHash<QString, QString> labels = englishLabels();
    QStringList lines = fileText.split(u'\n');
    for (QString& line : lines) line = englishLine(line, labels);
    return lines.join(u'\n');
}

} // namespace trelmox::ui
