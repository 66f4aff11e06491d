#pragma once
// Reply parsers: pure functions from the bytes an instrument sent to 40 reflectances in percent
// (slot 1 = 360 nm ... slot 40 = 750 nm, element 0 .. 39 here). A parser either returns all 40
// values or an error naming the slot and the text it found; it never returns part of a reading.
// Numbers use the point whatever the locale.
#include "colorimetry/tristimulus.h"
#include "records/spectralimport.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

namespace zul::instruments {

struct SpectrumReading {
    bool ok = false;
    Reflectance values{};
    QString error; // when not ok: "slot 7 (420 nm): \"nan\" is not a number"
};

using zul::badSlot;
using zul::plainDecimal;

// True when a status reply begins with "11" (calibrated, measurement follows).
bool statusCalibrated(const QByteArray& reply);

// The CE7000 reply from its status on: slot i is the 7 characters starting at character
// 10 i + 11 (counting from 1), so slot 1 is characters 21..27 and slot 40 is 411..417.
SpectrumReading parseCe7000Reply(const QByteArray& reply);
inline constexpr int kCe7000ReplyLength = 422;

// The CE2180 data block (after its 18-byte status): rows of six 6-character fields, each field
// followed by one separator and each row by one more character; slot i starts at character
// 7 i + k - 6 (counting from 1) with k = (i - 1) / 6 rounded down.
SpectrumReading parseCe2180Data(const QByteArray& data);
inline constexpr int kCe2180StatusLength = 18;
inline constexpr int kCe2180DataLength = 290;

// The Ci5/Ci7 measure reply: for each slot, the next decimal point after the last one used; the
// number is the run of digits (with a leading minus) around that point inside the 3 characters
// either side of it, never before the reply's start. Fewer than 40 such numbers: refused.
SpectrumReading parseCiReply(const QByteArray& reply);

// The Spectrolino / SpectroEye data reply: for i = 1..36 the 6 characters starting at character
// 7 i + 4 (counting from 1) hold a reflectance factor (0..1) for 370 + 10 i nm; they fill slots 3
// to 38 in percent. Slots 1, 2, 39 and 40 (360, 370, 740, 750 nm), which these instruments do not
// measure, are zero.
SpectrumReading parseSpectrolinoReply(const QByteArray& reply);
inline constexpr int kSpectrolinoFields = 36;

// The XTH measure reply: status "11", then for slot i the 6 characters starting at character
// 8 i + 11 (counting from 1): slot 1 is characters 19..24, slot 40 is 331..336.
SpectrumReading parseXthReply(const QByteArray& reply);

} // namespace zul::instruments
