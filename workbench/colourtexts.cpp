#include "workbench/colourtexts.h"

#include "munsell/notation.h"
#include "records/csvline.h"

#include <QRegularExpression>

#include <cmath>
#include <string>
#include <vector>

namespace zul {

namespace {

constexpr std::array<const char*, 10> kFamilies = {"R",  "YR", "Y",  "GY", "G",
                                                   "BG", "B",  "PB", "P",  "RP"};

// "6.4Y" → "6.4Y"; ".00R" → "10RP": a number that shows as 0 at one decimal belongs to the
// end of the family before.
QString hueText(const QString& hue) {
    static const QRegularExpression parts(
        QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]*)\\s*([A-Za-z]+)\\s*$"));
    const QRegularExpressionMatch m = parts.match(hue);
    if (!m.hasMatch()) return hue.trimmed();
    bool ok = false;
    const double number = m.captured(1).toDouble(&ok);
    const QString family = m.captured(2).toUpper();
    if (!ok || std::fabs(number) >= 0.05) return hue.trimmed();
    for (std::size_t i = 0; i < kFamilies.size(); ++i)
        if (family == QLatin1String(kFamilies[i]))
            return QStringLiteral("10") + kFamilies[(i + kFamilies.size() - 1) % kFamilies.size()];
    return hue.trimmed();
}

QString oneDecimal(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? QString::number(v, 'f', 1) : text.trimmed();
}

} // namespace

QString notationText(const QString& hue, const QString& value, const QString& chroma) {
    if (hue.trimmed().isEmpty() || value.trimmed().isEmpty()) return {};
    bool ok = false;
    const double c = chroma.trimmed().toDouble(&ok);
    if (isNeutralHue(hue.toStdString()) || (ok && c == 0))
        return QStringLiteral("N ") + value.trimmed() + QLatin1Char('/');
    return hueText(hue) + QLatin1Char(' ') + value.trimmed() + QLatin1Char('/') + chroma.trimmed();
}

QString colourText(const Workbench& wb, CopyForm form) {
    switch (form) {
    case CopyForm::Notation:
        return notationText(wb.text(Field::Hue), wb.text(Field::Value), wb.text(Field::Chroma));
    case CopyForm::Hex: {
        const std::array<int, 3> rgb = wb.displayRgb();
        return QStringLiteral("#%1%2%3")
            .arg(rgb[0], 2, 16, QLatin1Char('0'))
            .arg(rgb[1], 2, 16, QLatin1Char('0'))
            .arg(rgb[2], 2, 16, QLatin1Char('0'))
            .toUpper();
    }
    case CopyForm::Lab:
        return QStringLiteral("L* %1 a* %2 b* %3")
            .arg(oneDecimal(wb.text(Field::L)), oneDecimal(wb.text(Field::A)),
                 oneDecimal(wb.text(Field::B)));
    case CopyForm::Csv: {
        // The columns of `zul convert`: hue..K, then the marks the window shows.
        std::string line;
        for (int f = static_cast<int>(Field::Hue); f <= static_cast<int>(Field::K); ++f) {
            appendCsvField(line, wb.text(static_cast<Field>(f)).trimmed());
            line += ',';
        }
        QStringList note;
        if (!wb.munsellNote().isEmpty()) note << wb.munsellNote();
        if (!wb.rangeWarning().isEmpty()) note << wb.rangeWarning();
        if (!note.isEmpty()) appendCsvField(line, note.join(QStringLiteral("; ")));
        return QString::fromStdString(line);
    }
    }
    return {};
}

std::optional<PastedColour> readPastedColour(const QString& pasted) {
    const QString text = pasted.trimmed();
    PastedColour colour;
    static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{6})$"));
    if (const auto m = hex.match(text); m.hasMatch()) {
        const uint v = m.captured(1).toUInt(nullptr, 16);
        colour.rgb =
            std::array<QString, 3>{QString::number((v >> 16) & 0xFF),
                                   QString::number((v >> 8) & 0xFF), QString::number(v & 0xFF)};
        return colour;
    }
    static const QRegularExpression lab(
        QStringLiteral("^L\\*\\s*(\\S+)\\s+a\\*\\s*(\\S+)\\s+b\\*\\s*(\\S+)$"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = lab.match(text); m.hasMatch()) {
        colour.lab = std::array<QString, 3>{m.captured(1), m.captured(2), m.captured(3)};
        return colour;
    }
    if (const auto split = splitMunsellNotation(text.toStdString())) {
        colour.munsell = std::array<QString, 3>{QString::fromStdString(split->hue),
                                                QString::fromStdString(split->value),
                                                QString::fromStdString(split->chroma)};
        return colour;
    }
    // A line of `zul convert`: hue, value, chroma, X, Y, Z, x, y, L*, a*, b*, R, G, B, ...
    std::vector<std::string> fields;
    splitCsvLine(text.toStdString(), fields);
    if (fields.size() < 14 || (!isHueNotation(fields[0]) && !isNeutralHue(fields[0])))
        return std::nullopt;
    auto three = [&](std::size_t from) {
        return std::array<QString, 3>{QString::fromStdString(fields[from]),
                                      QString::fromStdString(fields[from + 1]),
                                      QString::fromStdString(fields[from + 2])};
    };
    colour.munsell = three(0);
    colour.lab = three(8);
    colour.rgb = three(11);
    return colour;
}

} // namespace zul
