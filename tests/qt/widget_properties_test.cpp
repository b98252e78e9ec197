// KeymoraWidget's properties and signals: their order and form flags, what each setter reaches
// in the control, which signals fire and when none does, the base properties, the loading state
// and the note slots.
#include <gtest/gtest.h>

#include <QtCore/QMetaProperty>
#include <QtTest/QTest>
#include <algorithm>
#include <functional>

#include "keymora/model/published.h"
#include "widget_support.h"

namespace keymora::test {
namespace {

using Log = std::vector<std::string>;

class WidgetTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureApplication(); }
};

struct PropertyFlags {
    const char* Name;
    const char* Notify;  // "" for none
};

TEST_F(WidgetTest, PropertiesInDeclarationOrderDesignableAndStored) {
    // Every property notifies its own changes.
    const PropertyFlags Expected[] = {
        {"orientation", "orientationChanged"},
        {"musicStyle", "musicStyleChanged"},
        {"settingWidth", "settingWidthChanged"},
        {"durationWidth", "durationWidthChanged"},
        {"durationPosition", "durationPositionChanged"},
        {"octave", "octaveChanged"},
        {"autoTone", "autoToneChanged"},
        {"offsetOctave", "offsetOctaveChanged"},
        {"maxOffsetDuration", "maxOffsetDurationChanged"},
        {"maxOffsetOttave", "maxOffsetOttaveChanged"},
        {"keys", "keysChanged"},
        {"maxDuration", "maxDurationChanged"},
        {"mouseTrack", "mouseTrackChanged"},
        {"offsetDuration", "offsetDurationChanged"},
        {"ctrlMove", "ctrlMoveChanged"},
        {"color", "colorChanged"},
        {"showHint", "showHintChanged"},
        {"tabStop", "tabStopChanged"},
        {"themed", "themedChanged"},
        {"velocity", "velocityChanged"},
        {"velocityByPosition", "velocityByPositionChanged"},
        {"noteNames", "noteNamesChanged"},
        {"scientificOctaves", "scientificOctavesChanged"},
    };
    KeymoraWidget W;
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    const int First = M.propertyOffset();
    ASSERT_GE(M.propertyCount() - First, static_cast<int>(std::size(Expected)));
    for (std::size_t I = 0; I < std::size(Expected); ++I) {
        const QMetaProperty P = M.property(First + static_cast<int>(I));
        EXPECT_STREQ(P.name(), Expected[I].Name);
        EXPECT_TRUE(P.isDesignable()) << P.name();
        EXPECT_TRUE(P.isStored()) << P.name();
        EXPECT_EQ(QByteArray(P.hasNotifySignal() ? P.notifySignal().name() : QByteArray()),
                  QByteArray(Expected[I].Notify))
            << P.name();
    }
    // The focus policy follows tabStop and is kept out of forms.
    const QMetaProperty Focus = M.property(M.indexOfProperty("focusPolicy"));
    EXPECT_FALSE(Focus.isDesignable());
    EXPECT_FALSE(Focus.isStored());
}

// The Qt name of a published property: lowerCamelCase of the table's name; Style, which would
// clash with QWidget::style(), is musicStyle.
QByteArray QtName(const TPropInfo& Info) {
    QByteArray Name(Info.Name.data(), static_cast<qsizetype>(Info.Name.size()));
    if (Name == "Style") return "musicStyle";
    Name[0] = static_cast<char>(Name[0] - 'A' + 'a');
    return Name;
}

// The table row a widget property stands for, or null for the widget's own (themed, ...).
const TPropInfo* RowOf(const QMetaProperty& P) {
    for (const TPropInfo& Info : PublishedProperties())
        if (QtName(Info) == P.name()) return &Info;
    return nullptr;
}

TEST_F(WidgetTest, OwnPropertiesFollowThePublishedTable) {
    // The control's own published properties, in the table's order, are the widget's first
    // fifteen: the same names with a lower-case initial, Style as musicStyle.
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    int Index = M.propertyOffset();
    for (const TPropInfo& Info : PublishedProperties()) {
        if (Info.Inherited) continue;
        std::string Name(Info.Name);
        Name[0] = static_cast<char>(Name[0] - 'A' + 'a');
        if (Name == "style") Name = "musicStyle";
        EXPECT_EQ(M.property(Index++).name(), Name);
    }
}

// Every widget property that stands for a table row (the own ones and the re-published base
// properties that QWidget has no property for) comes in the table's order, designable and
// stored, and its enumeration's keys are the row's value names: ordinals for an enumeration,
// bits for a set.
TEST_F(WidgetTest, PropertiesThatStandForTableRowsAgreeWithTheTable) {
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    const auto Table = PublishedProperties();
    std::vector<QByteArray> Seen;
    std::ptrdiff_t Last = -1;
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const QMetaProperty P = M.property(I);
        const TPropInfo* Info = RowOf(P);
        if (!Info) continue;
        SCOPED_TRACE(P.name());
        Seen.push_back(P.name());
        EXPECT_GT(Info - Table.data(), Last);
        Last = Info - Table.data();
        EXPECT_TRUE(P.isDesignable());
        EXPECT_TRUE(P.isStored());
        EXPECT_TRUE(P.isWritable());
        const bool Named = Info->Kind == TPropKind::Enumeration || Info->Kind == TPropKind::Set;
        EXPECT_EQ(P.isEnumType(), Named);
        if (!Named) continue;
        const QMetaEnum E = P.enumerator();
        EXPECT_EQ(E.isFlag(), Info->Kind == TPropKind::Set);
        ASSERT_EQ(E.keyCount(), static_cast<int>(Info->Names.size()));
        for (int K = 0; K < E.keyCount(); ++K) {
            EXPECT_EQ(E.key(K), Info->Names[static_cast<std::size_t>(K)]);
            EXPECT_EQ(E.value(K), Info->Kind == TPropKind::Set ? 1 << K : K);
        }
    }
    // All of the control's own properties and the three base ones without a QWidget twin.
    EXPECT_EQ(Seen, (std::vector<QByteArray>{
                        "orientation", "musicStyle", "settingWidth", "durationWidth",
                        "durationPosition", "octave", "autoTone", "offsetOctave",
                        "maxOffsetDuration", "maxOffsetOttave", "keys", "maxDuration", "mouseTrack",
                        "offsetDuration", "ctrlMove", "color", "showHint", "tabStop"}));
    // The widget finds the same property for each of those rows, and none for the others.
    for (const TPropInfo& Info : Table) {
        const QMetaProperty P = KeymoraWidget::publishedProperty(Info);
        const bool Offered = std::find(Seen.begin(), Seen.end(), QtName(Info)) != Seen.end();
        EXPECT_EQ(P.isValid() ? QByteArray(P.name()) : QByteArray(),
                  Offered ? QtName(Info) : QByteArray())
            << Info.Name;
    }
}

// A widget property's value in the table's Int, Str encoding.
TPropValue ReadThroughQt(const KeymoraWidget& W, const QMetaProperty& P, TPropKind Kind) {
    const QVariant V = P.read(&W);
    TPropValue Out;
    switch (Kind) {
        case TPropKind::String:
            Out.Str = V.toString().toStdString();
            break;
        case TPropKind::Color: {
            const QColor C = V.value<QColor>();
            Out.Int = C.red() | (C.green() << 8) | (C.blue() << 16);
            break;
        }
        case TPropKind::Boolean:
            Out.Int = V.toBool();
            break;
        default:
            Out.Int = V.toInt();
            break;
    }
    return Out;
}

struct StateCase {
    const char* Name;
    std::function<void(TKeymora&)> Prepare;
};

class PropertyStates : public WidgetTest, public ::testing::WithParamInterface<StateCase> {};

// In each state, every widget property that stands for a table row reads as the table reads
// the control; a second widget given those values through QObject::setProperty, in declaration
// order, has a control that equals the first in every such row.
TEST_P(PropertyStates, ReadThroughQtAsThroughTheTable) {
    KeymoraWidget W;
    GetParam().Prepare(W.control());
    KeymoraWidget Copy;
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    int Compared = 0;
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const QMetaProperty P = M.property(I);
        const TPropInfo* Info = RowOf(P);
        if (!Info) continue;
        SCOPED_TRACE(P.name());
        const TPropValue Table = GetPropertyValue(W.control(), *Info);
        const TPropValue Qt = ReadThroughQt(W, P, Info->Kind);
        EXPECT_EQ(Qt.Int, Table.Int);
        EXPECT_EQ(Qt.Str, Table.Str);
        ASSERT_TRUE(P.write(&Copy, P.read(&W)));
        ++Compared;
    }
    EXPECT_EQ(Compared, 18);
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const TPropInfo* Info = RowOf(M.property(I));
        if (!Info) continue;
        SCOPED_TRACE(Info->Name.data());
        EXPECT_EQ(GetPropertyValue(Copy.control(), *Info).Int,
                  GetPropertyValue(W.control(), *Info).Int);
        EXPECT_EQ(GetPropertyValue(Copy.control(), *Info).Str,
                  GetPropertyValue(W.control(), *Info).Str);
    }
}

void ChangeEverything(TKeymora& C) {
    C.SetOrientation(koVertical);
    C.SetStyle({msShowMarks, msScrollOctave});
    C.SetSettingWidth(40);
    C.SetDurationWidth(7);
    C.SetDurationPosition(2);
    C.SetOctave(3);
    C.SetAutoTone(atDiesis);
    C.SetOffsetOctave(2);
    C.SetOutDuration(2);
    C.SetOutOctave(3);
    C.SetKeys("QWERTYU");
    C.SetDurationCount(8);
    C.SetMouseTrack(true);
    C.SetOffsetDuration(1);
    C.SetCtrlMove(true);
    C.SetColor(0x00123456);
    C.SetShowHint(true);
    C.SetTabStop(false);
}

void EmptyValuesAndLimits(TKeymora& C) {
    C.SetStyle({});
    C.SetAutoTone(atAutoMinor);
    C.SetKeys("");
    C.SetColor(clMaroon);
    C.SetDurationCount(3);
    C.SetOffsetDuration(3);
    C.SetOctave(9);
}

INSTANTIATE_TEST_SUITE_P(States, PropertyStates,
                         ::testing::Values(StateCase{"New", [](TKeymora&) {}},
                                           StateCase{"Changed", ChangeEverything},
                                           StateCase{"EmptyAndLimits", EmptyValuesAndLimits}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct WriteCase {
    const char* Name;
    const char* Property;
    QVariant Value;
    std::function<void(const TKeymora&)> Check;
};

class PropertyWrites : public WidgetTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(PropertyWrites, ReachTheControlsSetter) {
    KeymoraWidget W;
    ASSERT_TRUE(W.setProperty(GetParam().Property, GetParam().Value));
    GetParam().Check(W.control());
}

INSTANTIATE_TEST_SUITE_P(
    Setters, PropertyWrites,
    ::testing::Values(
        WriteCase{"Orientation", "orientation", QVariant::fromValue(KeymoraWidget::koVertical),
                  [](const TKeymora& K) { EXPECT_EQ(K.Orientation(), koVertical); }},
        WriteCase{"Style", "musicStyle",
                  QVariant::fromValue(KeymoraWidget::MusicStyles(KeymoraWidget::msShowMarks |
                                                                 KeymoraWidget::msScrollOctave)),
                  [](const TKeymora& K) { EXPECT_EQ(K.Style().Bits(), 0b1001); }},
        WriteCase{"AutoTone", "autoTone", QVariant::fromValue(KeymoraWidget::atAutoMinor),
                  [](const TKeymora& K) { EXPECT_EQ(K.AutoTone(), atAutoMinor); }},
        WriteCase{"MaxDuration", "maxDuration", 8,
                  [](const TKeymora& K) { EXPECT_EQ(K.MaxDuration(), 8); }},
        WriteCase{"MaxOffsetDuration", "maxOffsetDuration", 4,
                  [](const TKeymora& K) { EXPECT_EQ(K.MaxOffsetDuration(), 4); }},
        WriteCase{"MaxOffsetOttave", "maxOffsetOttave", 7,
                  [](const TKeymora& K) { EXPECT_EQ(K.MaxOffsetOttave(), 7); }},
        WriteCase{"Keys", "keys", QStringLiteral("qwertyu"),
                  [](const TKeymora& K) { EXPECT_EQ(K.Keys(), "qwertyu"); }},
        WriteCase{"KeysEqualButForCase", "keys", QStringLiteral("cdefgab"),
                  [](const TKeymora& K) { EXPECT_EQ(K.Keys(), "CDEFGAB"); }},
        WriteCase{"ColourAsBGR", "color", QColor(0x12, 0x34, 0x56),
                  [](const TKeymora& K) { EXPECT_EQ(K.Color(), 0x00563412u); }},
        WriteCase{"SettingWidthRefused", "settingWidth", 9,
                  [](const TKeymora& K) { EXPECT_EQ(K.SettingWidth(), 30); }},
        WriteCase{"CtrlMove", "ctrlMove", true,
                  [](const TKeymora& K) { EXPECT_TRUE(K.CtrlMove()); }},
        WriteCase{"ShowHint", "showHint", true,
                  [](const TKeymora& K) { EXPECT_TRUE(K.ShowHint()); }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

struct SignalCase {
    const char* Name;
    std::function<void(KeymoraWidget&)> Prepare;
    std::function<void(KeymoraWidget&)> Act;
    Log Expected;
};

class Signals : public WidgetTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(Signals, FireAsTheControlsEvents) {
    KeymoraWidget W;
    W.ensurePolished();  // loaded: the view follows the octave
    Recorder R(W);
    if (GetParam().Prepare) GetParam().Prepare(W);
    R.Log.clear();
    GetParam().Act(W);
    EXPECT_EQ(R.Log, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Events, Signals,
    ::testing::Values(
        // Position 4 scrolls the cells directly, without offsetChanged.
        SignalCase{"DurationPosition",
                   nullptr,
                   [](KeymoraWidget& W) { W.setDurationPosition(4); },
                   {"durationChanged"}},
        SignalCase{"SameDurationPosition",
                   nullptr,
                   [](KeymoraWidget& W) { W.setDurationPosition(0); },
                   {}},
        SignalCase{"RefusedDurationPosition",
                   nullptr,
                   [](KeymoraWidget& W) { W.setDurationPosition(6); },
                   {}},
        SignalCase{"OffsetDuration",
                   nullptr,
                   [](KeymoraWidget& W) { W.setOffsetDuration(2); },
                   {"offsetChanged"}},
        SignalCase{"MaxOffsetDuration",
                   nullptr,
                   [](KeymoraWidget& W) { W.setMaxOffsetDuration(2); },
                   {"maxChanged"}},
        SignalCase{"LoweredMaxClampsTheOffsetFirst",
                   [](KeymoraWidget& W) { W.setOffsetOctave(4); },
                   [](KeymoraWidget& W) { W.setMaxOffsetOttave(2); },
                   {"offsetChanged", "maxChanged"}},
        // Octave 6 leaves the view (6 - 0 >= 9 - 4): it scrolls by one octave.
        SignalCase{
            "OctaveScrolls", nullptr, [](KeymoraWidget& W) { W.setOctave(6); }, {"offsetChanged"}},
        SignalCase{"SameOctave", nullptr, [](KeymoraWidget& W) { W.setOctave(5); }, {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Themed faces are kept between paints; a palette change must not leave the old colours on
// screen: the widget repainted after the change looks exactly like one made with that palette.
TEST_F(WidgetTest, PaletteChangeRedrawsTheThemedFaces) {
    QPalette Red = QApplication::palette();
    Red.setColor(QPalette::Button, QColor(0xC0, 0x20, 0x20));
    const KeymoraWidget::MusicStyles Zones(KeymoraWidget::msScrollOctave |
                                           KeymoraWidget::msScrollDuration);
    KeymoraWidget Changed;
    Changed.setMusicStyle(Zones);
    Changed.resize(600, 100);
    const QImage Before = Changed.grab().toImage();
    Changed.setPalette(Red);
    KeymoraWidget Fresh;
    Fresh.setMusicStyle(Zones);
    Fresh.setPalette(Red);
    Fresh.resize(600, 100);
    // The bottom rows hold the notches between the keys' front corners, which the opaque
    // widget leaves to what the grab's buffer held; everything above them is painted.
    const QRect Painted(0, 0, 600, 98);
    const QImage After = Changed.grab(Painted).toImage();
    EXPECT_NE(After, Before.copy(Painted));
    EXPECT_EQ(After, Fresh.grab(Painted).toImage());
}

TEST_F(WidgetTest, BasePropertiesFollowTheWidget) {
    KeymoraWidget W;
    QFont F(QStringLiteral("Liberation Sans"), 12);
    F.setBold(true);
    F.setUnderline(true);
    W.setFont(F);
    QPalette P = W.palette();
    P.setColor(QPalette::WindowText, QColor(0x10, 0x20, 0x30));
    W.setPalette(P);
    EXPECT_EQ(W.control().Font().Name, "Liberation Sans");
    EXPECT_EQ(W.control().Font().Size, 12);
    EXPECT_EQ(W.control().Font().Style, (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(W.control().Font().Color, 0x00302010u);

    W.setEnabled(false);
    EXPECT_FALSE(W.control().Enabled());
    W.setEnabled(true);
    EXPECT_TRUE(W.control().Enabled());

    W.setTabStop(false);
    EXPECT_FALSE(W.control().TabStop());
    EXPECT_EQ(W.focusPolicy(), Qt::NoFocus);
    W.setTabStop(true);
    EXPECT_EQ(W.focusPolicy(), Qt::TabFocus);

    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    EXPECT_TRUE(W.control().Visible());
    EXPECT_TRUE(W.control().ThemesEnabled());
    W.setThemed(false);
    EXPECT_FALSE(W.control().ThemesEnabled());
    W.hide();
    EXPECT_FALSE(W.control().Visible());
}

TEST_F(WidgetTest, LoadingLastsUntilPolishedAndComputesTheLayoutThen) {
    KeymoraWidget W;
    W.resize(600, 100);
    W.setOctave(3);
    EXPECT_TRUE(W.control().ComponentState().Contains(csLoading));
    EXPECT_EQ(W.control().RealWidth(), 0);
    W.ensurePolished();
    EXPECT_FALSE(W.control().ComponentState().Contains(csLoading));
    // 35 keys: ((600 - 30 - 32) div 35) * 35 + 1 + 62 = 588, keys 15 wide.
    EXPECT_EQ(W.control().RealWidth(), 588);
    EXPECT_EQ(W.control().KeyWidth(), 15);

    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&W));
    // A resize after loading: ((300 - 62) div 35) * 35 + 63 = 273, keys 6 wide.
    W.resize(300, 100);
    EXPECT_EQ(W.control().Width(), 300);
    EXPECT_EQ(W.control().RealWidth(), 273);
    EXPECT_EQ(W.control().KeyWidth(), 6);
}

TEST_F(WidgetTest, ControlBoundsMoveTheWidget) {
    QWidget Form;
    Form.resize(800, 300);
    auto* W = new KeymoraWidget(&Form);
    Form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    W->control().SetBounds(10, 20, 400, 80);
    EXPECT_EQ(W->geometry(), QRect(10, 20, 400, 80));
    EXPECT_EQ(W->control().Width(), 400);
}

TEST_F(WidgetTest, NoteSlotsRefuseValuesBeyondTheirRange) {
    KeymoraWidget W;
    W.ensurePolished();
    // Octave 4, note 0 (C) is white key 7 * 4 + 0 - 12 = 16.
    W.selectNote(4, 0, 0);
    EXPECT_EQ(W.control().KeyStates()[16], ksSelected);
    W.releaseNote(4, 0, 0);
    EXPECT_EQ(W.control().KeyStates()[16], ksIdle);
    // 260 would read as octave 4 in a byte; it must not select key 16.
    W.selectNote(260, 0, 0);
    EXPECT_EQ(W.control().KeyStates()[16], ksIdle);
    // Any nonzero tone is the black key, 256 too.
    W.selectNote(4, 0, 256);
    EXPECT_EQ(W.control().ToneStates()[16], ksSelected);
    EXPECT_EQ(W.control().KeyStates()[16], ksIdle);
    W.releaseSelected();
    EXPECT_EQ(W.control().ToneStates()[16], ksIdle);
}

}  // namespace
}  // namespace keymora::test
