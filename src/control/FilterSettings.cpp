#include "control/FilterSettings.h"

#include <QRegularExpression>

#include "pipeline/FilterModel.h"
#include "raster/Color.h"

namespace pelsid {

namespace {
const QString kWindow = QStringLiteral("frmEncodings");
}  // namespace

const std::array<FilterRow, 6> kFilterRows = {{
    {ProtocolClass::TCP, "tglTCP", "TCP", "picTCP"},
    {ProtocolClass::UDP, "tglUDP", "UDP", "picUDP"},
    {ProtocolClass::ICMP, "tglICMP", "ICMP", "picICMP"},
    {ProtocolClass::IGMP, "tglIGMP", "IGMP", "picIGMP"},
    {ProtocolClass::OtherTransport, "tglOtherTransport", "other legal", "picOtherTransport"},
    {ProtocolClass::UnassignedTransport, "tglUnkTransport", "unassigned", "picUnassignedTransport"},
}};

QString addColorRule(FilterModel& model, const QString& window, const QString& value) {
    // The colour follows the last colon: IPv6 addresses in the expression have colons too.
    const int colon = int(value.lastIndexOf(QLatin1Char(':')));
    const QString expression = value.left(colon).trimmed(), hex = value.mid(colon + 1);
    static const QRegularExpression sixHex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (colon < 0 || expression.isEmpty() || !sixHex.match(hex).hasMatch())
        return QStringLiteral("bad value \"%1\" for %2.colorRule (EXPRESSION:RRGGBB)")
            .arg(value, window);
    const std::uint32_t rrggbb = hex.toUInt(nullptr, 16);
    std::string error;
    if (!model.addColorRule(expression.toStdString(),
                            rgb(int(rrggbb >> 16), int(rrggbb >> 8), int(rrggbb)), &error))
        return QStringLiteral("%1.colorRule \"%2\": %3")
            .arg(window, expression, QString::fromStdString(error));
    return {};
}

std::vector<SettingControl> filterSettingControls(FilterModel& model) {
    std::vector<SettingControl> controls;
    for (const FilterRow& r : kFilterRows) {
        const ProtocolClass c = r.cls;
        controls.push_back(SettingControl::toggle(
            QLatin1String(r.toggle), [&model, c] { return int(model.hidden(c)); },
            [&model, c](int on) { model.setHidden(c, on != 0); }));
    }
    controls.push_back(
        SettingControl::text(QStringLiteral("txtDisplayFilter"), [&model](const QString& text) {
            std::string error;
            if (model.setDisplayFilter(text.toStdString(), &error)) return QString();
            return QStringLiteral("%1.txtDisplayFilter \"%2\": %3")
                .arg(kWindow, text, QString::fromStdString(error));
        }));
    controls.push_back(SettingControl::text(
        QStringLiteral("colorRule"),
        [&model](const QString& v) { return addColorRule(model, kWindow, v); }));
    return controls;
}

}  // namespace pelsid
