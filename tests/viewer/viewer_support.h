#pragma once
// Palettes for the viewer's tests: written in memory or to files, in the record layout of
// "Save to Palette".
#include "records/paletterecord.h"
#include "support/scratchfolder.h"
#include "viewer/pointtable.h"
#include "workbench/palette.h"
#include "workbench/workbench.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace zul::testing {

// One record as "Save to Palette" writes it; only the first six items matter to the viewer.
inline std::string record(const std::string& tag, const std::string& hue, const std::string& value,
                          const std::string& chroma, const std::string& end = "\r\n") {
    return "\"12-07-2026\",\"10:00:00\",\"" + tag + "\",\"" + hue + "\",\"" + value + "\",\"" +
           chroma +
           "\",\"19.77\",\"19.77\",\"23.30\",\"51.58\",\"0\",\"0\",.2,.2,.2,\"124\","
           "\"124\",\"124\",\"0\",\"0\",\"0\",\"51\"" +
           end;
}

// `count` records cycling over the hue circle, values 2..8 and chromas 0..6 (all in reach).
inline std::string manyRecords(int count) {
    static const char* const families[] = {"R", "YR", "Y", "GY", "G", "BG", "B", "PB", "P", "RP"};
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 160);
    for (int i = 0; i < count; ++i) {
        const std::string hue = std::to_string(1 + i % 10) + families[(i / 10) % 10];
        out += record("S" + std::to_string(i + 1), hue, std::to_string(2 + i % 7),
                      std::to_string((i * 3) % 7));
    }
    return out;
}

// Appends a point of hue step `step` (in the palette's hue steps) with its place on the view and
// its display colour.
inline void addPoint(PointTable& t, float step, float value, float chroma, std::uint32_t colour,
                     bool converted = true) {
    const float angle = paletteHueAngle(step);
    t.names.push_back("P" + std::to_string(t.size() + 1));
    t.hueTexts.push_back("5R");
    t.valueTexts.push_back(std::to_string(value));
    t.chromaTexts.push_back(std::to_string(chroma));
    t.lines.push_back(static_cast<long>(t.size()));
    t.hueSteps.push_back(step);
    t.angles.push_back(angle);
    t.values.push_back(value);
    t.chromas.push_back(chroma);
    t.baseX.push_back(chroma * std::cos(angle));
    t.baseY.push_back(chroma * std::sin(angle));
    t.colours.push_back(colour);
    t.labL.push_back(50);
    t.labA.push_back(0);
    t.labB.push_back(0);
    t.converted.push_back(converted ? 1 : 0);
}

inline void writeFile(const QString& name, const std::string& text) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
    f.write(text.data(), static_cast<qint64>(text.size()));
}

inline QByteArray readFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A palette of a picture: the picture scaled to columns x rows blocks, each block's colour typed
// into the RGB fields, its chain run and the colour saved with the tag "column,row".
inline int writePicturePalette(Workbench& wb, const QString& picture, int columns, int rows,
                               const QString& paletteName) {
    const QImage image =
        QImage(picture).scaled(columns, rows, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull()) return 0;
    wb.setPaletteFile(paletteName);
    int saved = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const QColor c = image.pixelColor(x, y);
            wb.setText(Field::R, QString::number(c.red()));
            wb.setText(Field::G, QString::number(c.green()));
            wb.setText(Field::Bl, QString::number(c.blue()));
            if (!wb.rgbChain()) continue;
            wb.setTag(QStringLiteral("%1,%2").arg(x).arg(y));
            saved += wb.SaveData(1) ? 1 : 0;
        }
    }
    return saved;
}

} // namespace zul::testing
