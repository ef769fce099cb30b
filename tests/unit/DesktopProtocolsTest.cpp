#include "platform/KeyboardEvent.h"
#include "platform/sway/I3IpcFraming.h"
#include "platform/sway/SwayFocusedApplication.h"
#include "platform/x11/X11ModifierFlags.h"
#include "platform/x11/XkbSymbolsName.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Symbols names as the X server reports them, and the layout of each group.
TEST(XkbSymbolsName, GiveTheLayoutOfEachGroup) {
    const std::pair<const char*, QStringList> cases[] = {
        {"pc+ru+us(intl):2+inet(evdev)", {"ru", "us(intl)"}},
        {"pc+de(nodeadkeys)+ru:2+us:3+gr:4+inet(evdev)", {"de(nodeadkeys)", "ru", "us", "gr"}},
        // Per-group options follow their group's layout and do not replace it.
        {"pc+us+ru:2+inet(evdev)+level3(ralt_switch):1+level3(ralt_switch):2+group(alts_toggle)",
         {"us", "ru"}},
        // Option files are never layouts, whatever their place.
        {"pc+inet(evdev)+ctrl(nocaps)+us+compose(ralt)+ru:2+terminate(ctrl_alt_bksp)", {"us", "ru"}},
        // Override merges ("|") separate components as "+" does.
        {"pc+us+ru:2+inet(evdev)|ctrl(swapcaps)", {"us", "ru"}},
        // A group the name skips is empty; groups outside 1..4 are ignored.
        {"pc+us+ru:3", {"us", "", "ru"}},
        {"pc+us+ru:5+de:0", {"us"}},
        {"pc+inet(evdev)", {}},
        {"pc+us(intl+ru:2", {"", "ru"}},
        {"pc+us:x+ru", {"ru"}},
    };
    for (const auto& [name, layouts] : cases)
        EXPECT_EQ(layoutsFromSymbolsName(QString::fromUtf8(name)), layouts) << name;
}

// X modifier bits from bit 0: Shift, Lock, Control, Mod1..Mod5, buttons; NumLock, Mod3, AltGr (Mod5): none.
TEST(X11ModifierFlags, EachXModifierGivesItsFlag) {
    const std::pair<uint32_t, uint64_t> cases[] = {
        {1u << 0, ModifierFlag::shift},   {1u << 1, ModifierFlag::capsLock},
        {1u << 2, ModifierFlag::control}, {1u << 3, ModifierFlag::option},
        {1u << 6, ModifierFlag::command}, {1u << 4 | 1u << 5 | 1u << 7 | 0x1f00, 0},
    };
    for (const auto& [mask, flags] : cases)
        EXPECT_EQ(modifierFlagsFromX11Mask(mask), flags) << "mask 0x" << std::hex << mask;
}

// A stream fed to the decoder in reads of a given size: each message comes out whole (a malformed body too:
// it is one bad message), and a broken header (wrong magic, impossible length) ends the stream.
TEST(I3IpcDecoderTest, FramingTable) {
    const auto tagged = [](uint32_t type, const QByteArray& body) {
        return QByteArray::number(type) + ':' + body;
    };
    const std::pair<uint32_t, QByteArray> sent[] = {{I3Ipc::inputEvent, R"({"change":"xkb_layout"})"},
                                                    {I3Ipc::runCommand, "{not json"},
                                                    {I3Ipc::getInputs, QByteArray(100000, 'x')}};
    QByteArray stream;
    QList<QByteArray> all;
    for (const auto& [type, body] : sent)
        stream += I3Ipc::encode(type, body), all += tagged(type, body);
    const QByteArray hugeLength = I3Ipc::encode(0, {}).replace(6, 4, QByteArray(4, char(0xFF)));
    const struct {
        const char* name;
        QByteArray stream;
        qsizetype readSize;
        QList<QByteArray> messages; // none: the stream failed
    } rows[] = {
        {"all in one read", stream, stream.size(), all},
        {"header split", stream, 5, all},
        {"byte by byte", stream, 1, all},
        {"broken magic", "i3-ipX" + QByteArray(8, '\0') + I3Ipc::encode(0, "{}"), 64, {}},
        {"impossible length", hugeLength + I3Ipc::encode(0, "{}"), 64, {}},
    };
    for (const auto& row : rows) {
        I3IpcDecoder decoder;
        QList<QByteArray> messages;
        for (qsizetype offset = 0; offset < row.stream.size(); offset += row.readSize) {
            decoder.append(row.stream.mid(offset, row.readSize));
            while (std::optional<I3IpcMessage> message = decoder.next())
                messages.append(tagged(message->type, message->payload));
        }
        EXPECT_TRUE(messages == row.messages && decoder.failed() == row.messages.isEmpty()) << row.name;
    }
    EXPECT_FALSE(I3Ipc::parsePayload("{not json"));
}

// The focused container of sway's tree: a Wayland window's app_id, an Xwayland window's class, nothing
// for a workspace that holds the focus itself.
TEST(SwayFocusTest, TheFocusedContainersApplication) {
    const std::pair<const char*, std::optional<QString>> rows[] = {
        {R"({"nodes":[{"nodes":[{"app_id":"x"},{"nodes":[{"app_id":"foot","focused":true}]}]}]})", "foot"},
        {R"({"nodes":[{"nodes":[{"app_id":"foot"}],"floating_nodes":[{"app_id":null,"focused":true,
           "window_properties":{"class":"Steam"}}]}]})",
         "Steam"},
        {R"({"nodes":[{"type":"workspace","focused":true,"nodes":[{"app_id":"foot"}]}]})", std::nullopt}};
    for (const auto& [tree, application] : rows) {
        const auto focused = SwayFocusedApplication::focusedUnder(QJsonDocument::fromJson(tree).object());
        EXPECT_EQ(focused ? SwayFocusedApplication::applicationOf(*focused) : std::nullopt, application)
            << tree;
    }
}

} // namespace
