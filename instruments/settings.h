#pragma once
// The settings file "zul.cfg": the instrument name and the serial port number, kept between runs.
// Two lines ended by CR LF: the name (in double quotes only when it is empty or holds a comma, a
// quote or surrounding blanks), then the port number with a blank before and after the digits.
#include <QByteArray>
#include <QString>

#include <istream>
#include <optional>

namespace zul::instruments {

struct InstrumentSettings {
    QString name;
    int port = 1;
    bool operator==(const InstrumentSettings&) const = default;
};

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 4;

// The one clamp of the port number, for the file and the port field alike: the text read as a
// number rounded to nearest (ties to even); below 1, above 4, not a number or empty gives 1.
int clampPort(const QString& text);

// Both fields, or nullopt when the file is empty, short or the port is not a number.
std::optional<InstrumentSettings> readSettings(std::istream& in);
// "zul.cfg" in `dir`, else a lone "ZUL.cfg"; nullopt when neither reads.
std::optional<InstrumentSettings> readSettingsFile(const QString& dir);

QByteArray settingsText(const InstrumentSettings& s);
// Written to a temporary file and renamed over "zul.cfg"; false with `error` (which names the
// file and the reason) otherwise.
bool writeSettingsFile(const QString& dir, const InstrumentSettings& s, QString& error);

} // namespace zul::instruments
