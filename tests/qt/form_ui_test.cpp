// Forms: a .ui file built through uic, through QUiLoader and through QUiLoader with the Designer
// plugin gives the same widget, its properties applied in declaration order while loading and
// the layout computed once polished; properties survive a .ui file and the text form.
#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMetaProperty>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>

#include "keymora/model/text_form.h"
#include "ui_form_sample.h"
#include "widget_support.h"

#ifdef KEYMORA_HAVE_UITOOLS
#include <QtUiTools/QUiLoader>
#endif

namespace keymora::test {
namespace {

const QString SampleForm = QStringLiteral(KEYMORA_SOURCE_DIR "/tests/qt/form_sample.ui");

#ifdef KEYMORA_HAVE_UITOOLS
// A loader that knows KeymoraWidget without the plugin, as an application linking it would.
class Loader : public QUiLoader {
  public:
    QWidget* createWidget(const QString& ClassName, QWidget* Parent, const QString& Name) override {
        if (ClassName != QLatin1String("KeymoraWidget"))
            return QUiLoader::createWidget(ClassName, Parent, Name);
        auto* W = new KeymoraWidget(Parent);
        W->setObjectName(Name);
        return W;
    }
};

std::unique_ptr<QWidget> LoadFrom(QUiLoader& L, QIODevice& Device) {
    return std::unique_ptr<QWidget>(L.load(&Device));
}
#endif

struct BuilderCase {
    const char* Name;
    std::function<std::unique_ptr<QWidget>()> Build;  // null when not available in this build
};

std::unique_ptr<QWidget> BuildWithUic() {
    auto Form = std::make_unique<QWidget>();
    Ui::SampleForm Ui;
    Ui.setupUi(Form.get());
    return Form;
}

std::vector<BuilderCase> Builders() {
    std::vector<BuilderCase> B = {{"Uic", BuildWithUic}};
#ifdef KEYMORA_HAVE_UITOOLS
    B.push_back({"UiLoader", [] {
                     QFile File(SampleForm);
                     EXPECT_TRUE(File.open(QIODevice::ReadOnly));
                     Loader L;
                     return LoadFrom(L, File);
                 }});
#ifdef KEYMORA_DESIGNER_PLUGIN
    B.push_back({"UiLoaderWithPlugin", [] {
                     QFile File(SampleForm);
                     EXPECT_TRUE(File.open(QIODevice::ReadOnly));
                     QUiLoader L;
                     L.clearPluginPaths();
                     L.addPluginPath(QFileInfo(QStringLiteral(KEYMORA_DESIGNER_PLUGIN)).path());
                     EXPECT_TRUE(L.availableWidgets().contains(QStringLiteral("KeymoraWidget")));
                     return LoadFrom(L, File);
                 }});
#endif
#endif
    return B;
}

class FormBuild : public ::testing::TestWithParam<BuilderCase> {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(FormBuild, SavedPropertiesLoadInDeclarationOrderAndTheLayoutIsComputedOnce) {
    const std::unique_ptr<QWidget> Form = GetParam().Build();
    ASSERT_TRUE(Form);
    auto* K = Form->findChild<KeymoraWidget*>(QStringLiteral("keyboard"));
    ASSERT_TRUE(K);
    const TKeymora& C = K->control();

    // Built but not yet polished: still loading, and the streamed geometry has not reached the
    // control's layout.
    EXPECT_TRUE(C.ComponentState().Contains(csLoading));
    EXPECT_EQ(C.Width(), 0);

    Form->ensurePolished();
    EXPECT_FALSE(C.ComponentState().Contains(csLoading));
    EXPECT_EQ(K->orientation(), KeymoraWidget::koHorizontal);
    EXPECT_EQ(C.Style().Bits(), 0b1011);
    EXPECT_EQ(K->settingWidth(), 40);
    EXPECT_EQ(K->durationPosition(), 4);
    EXPECT_EQ(K->octave(), 7);
    EXPECT_EQ(K->autoTone(), KeymoraWidget::atDiesis);
    // While loading, octave 7 leaves the view where the form puts it; the saved 6 is checked
    // again by Loaded against the final maxOffsetOttave of 2, refused, and the offset keeps 0.
    EXPECT_EQ(K->offsetOctave(), 0);
    EXPECT_EQ(K->maxOffsetOttave(), 2);
    EXPECT_EQ(K->keys(), QStringLiteral("QWERTYU"));
    EXPECT_EQ(K->maxDuration(), 8);
    EXPECT_TRUE(K->mouseTrack());
    EXPECT_EQ(K->offsetDuration(), 3);
    EXPECT_TRUE(K->ctrlMove());
    EXPECT_EQ(C.Color(), 0x00DDEEFFu);
    EXPECT_TRUE(K->showHint());
    EXPECT_FALSE(K->tabStop());
    EXPECT_EQ(K->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(K->themed());
    EXPECT_EQ(C.Font().Name, "Liberation Sans");
    EXPECT_EQ(C.Font().Size, 10);
    EXPECT_EQ(C.Font().Style, (TFontStyles{fsItalic}));
    // Bounds (20, 30, 600, 100) reached the control before Loaded computed the layout: 63 - 14
    // = 49 keys, ((600 - 40 - 32) div 49) * 49 + 1 + 72 = 563, keys (563 - 72) div 49 = 10.
    EXPECT_EQ(C.Left(), 20);
    EXPECT_EQ(C.Top(), 30);
    EXPECT_EQ(C.VisibleKeyCount(), 49);
    EXPECT_EQ(C.RealWidth(), 563);
    EXPECT_EQ(C.KeyWidth(), 10);
}

INSTANTIATE_TEST_SUITE_P(Builders, FormBuild, ::testing::ValuesIn(Builders()),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// ---- Round trips ----

// A widget with every own property away from its initial value. The values do not depend on
// the order in which they are applied, so any writer's order reads back the same.
void Configure(KeymoraWidget& W) {
    W.setGeometry(0, 0, 500, 120);
    W.setOrientation(KeymoraWidget::koVertical);
    W.setMusicStyle(KeymoraWidget::msColorOctave | KeymoraWidget::msScrollDuration);
    W.setSettingWidth(24);
    W.setDurationWidth(9);
    W.setDurationPosition(2);
    W.setOctave(2);
    W.setAutoTone(KeymoraWidget::atBemol);
    W.setOffsetOctave(3);
    W.setMaxOffsetDuration(2);
    W.setMaxOffsetOttave(5);
    W.setKeys(QStringLiteral("ZXCVBNM"));
    W.setMaxDuration(7);
    W.setMouseTrack(true);
    W.setOffsetDuration(1);
    W.setCtrlMove(true);
    W.setColor(QColor(1, 2, 3));
    W.setShowHint(true);
    W.setTabStop(false);
    W.setThemed(false);
    W.setVelocity(64);
    W.setVelocityByPosition(true);
    W.setNoteNames(true);
    W.setScientificOctaves(true);
}

void ExpectSameOwnProperties(const KeymoraWidget& A, const KeymoraWidget& B,
                             std::initializer_list<const char*> Except = {}) {
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const char* Name = M.property(I).name();
        if (std::any_of(Except.begin(), Except.end(),
                        [&](const char* E) { return QByteArray(Name) == E; }))
            continue;
        EXPECT_EQ(A.property(Name), B.property(Name)) << Name;
    }
}

class FormRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(FormRoundTrip, ConfiguredValuesAreAllChangedFromTheInitialOnes) {
    // Guards the round trips below: each property they carry must differ from a new widget's.
    KeymoraWidget Fresh;
    KeymoraWidget A;
    Configure(A);
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const char* Name = M.property(I).name();
        if (QByteArray(Name) == "focusPolicy") continue;
        EXPECT_NE(A.property(Name), Fresh.property(Name)) << Name;
    }
}

#ifdef KEYMORA_HAVE_UITOOLS
// The widget's stored properties as Designer writes them: in property order, enumerations and
// sets by their qualified names.
QByteArray UiFile(const KeymoraWidget& W) {
    QByteArray Ui = "<ui version=\"4.0\"><widget class=\"KeymoraWidget\" name=\"keyboard\">\n";
    const QMetaObject& M = KeymoraWidget::staticMetaObject;
    for (int I = M.propertyOffset(); I < M.propertyCount(); ++I) {
        const QMetaProperty P = M.property(I);
        if (!P.isStored()) continue;
        const QVariant V = W.property(P.name());
        QByteArray Value;
        if (P.isFlagType()) {
            QByteArray Names;
            for (const QByteArray& Key : P.enumerator().valueToKeys(V.toInt()).split('|'))
                Names += (Names.isEmpty() ? "" : "|") + QByteArray("KeymoraWidget::") + Key;
            Value = "<set>" + Names + "</set>";
        } else if (P.isEnumType()) {
            Value = "<enum>KeymoraWidget::" + QByteArray(P.enumerator().valueToKey(V.toInt())) +
                    "</enum>";
        } else if (V.typeId() == QMetaType::Bool) {
            Value = V.toBool() ? "<bool>true</bool>" : "<bool>false</bool>";
        } else if (V.typeId() == QMetaType::Int) {
            Value = "<number>" + QByteArray::number(V.toInt()) + "</number>";
        } else if (V.typeId() == QMetaType::QString) {
            Value = "<string>" + V.toString().toUtf8() + "</string>";
        } else if (V.typeId() == QMetaType::QColor) {
            const QColor C = V.value<QColor>();
            Value = "<color><red>" + QByteArray::number(C.red()) + "</red><green>" +
                    QByteArray::number(C.green()) + "</green><blue>" +
                    QByteArray::number(C.blue()) + "</blue></color>";
        }
        Ui += "<property name=\"" + QByteArray(P.name()) + "\">" + Value + "</property>\n";
    }
    return Ui + "</widget></ui>\n";
}

TEST_F(FormRoundTrip, ThroughAUiFile) {
    KeymoraWidget A;
    Configure(A);
    QBuffer Ui;
    Ui.setData(UiFile(A));
    Ui.open(QIODevice::ReadOnly);
    Loader L;
    const std::unique_ptr<QWidget> Loaded = LoadFrom(L, Ui);
    auto* B = qobject_cast<KeymoraWidget*>(Loaded.get());
    ASSERT_TRUE(B) << Ui.data().constData();
    B->ensurePolished();
    ExpectSameOwnProperties(A, *B);
}

struct StyleStringCase {
    const char* Name;
    const char* Set;  // the musicStyle flags as a .ui file writes them
    int Expected;     // bits of the styles after loading
};

class UiMusicStyle : public ::testing::TestWithParam<StyleStringCase> {
  protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(UiMusicStyle, UnknownNamesAreRefusedNotReadAsAll) {
    const QByteArray Ui =
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ui version=\"4.0\">"
                   "<class>F</class><widget class=\"KeymoraWidget\" name=\"k\">"
                   "<property name=\"musicStyle\"><set>") +
        GetParam().Set + "</set></property></widget></ui>\n";
    QBuffer Buffer;
    Buffer.setData(Ui);
    Buffer.open(QIODevice::ReadOnly);
    Loader L;
    const std::unique_ptr<QWidget> Loaded = LoadFrom(L, Buffer);
    auto* K = qobject_cast<KeymoraWidget*>(Loaded.get());
    ASSERT_TRUE(K);
    EXPECT_EQ(K->musicStyle().toInt(), GetParam().Expected);
}

// A new widget has all four styles (15); 1 is msShowMarks, 8 msScrollOctave.
INSTANTIATE_TEST_SUITE_P(
    Sets, UiMusicStyle,
    ::testing::Values(StyleStringCase{"known", "KeymoraWidget::msShowMarks|KeymoraWidget::msScrollOctave", 9},
                      StyleStringCase{"bogus", "msBogus|||garbage", 15},
                      StyleStringCase{"one_bogus_of_two", "msShowMarks|msBogus", 15}),
    [](const auto& Info) { return std::string(Info.param.Name); });
#endif

TEST_F(FormRoundTrip, ThroughTheTextForm) {
    KeymoraWidget A;
    Configure(A);
    KeymoraWidget B;
    Recorder R(B);
    const auto Error = LoadTextForm(B.control(), SaveTextForm(A.control()));
    ASSERT_FALSE(Error) << Error->What();
    // The choice of faces, the velocities and the labels are the widget's own, not the control's: the text
    // form leaves them out.
    ExpectSameOwnProperties(A, B, {"themed", "velocity", "velocityByPosition", "noteNames", "scientificOctaves"});
    // The setters' own signals fired while loading.
    EXPECT_NE(std::find(R.Log.begin(), R.Log.end(), "durationChanged"), R.Log.end());
}

TEST_F(FormRoundTrip, MalformedTextFormLeavesTheWidgetAlone) {
    KeymoraWidget A;
    Configure(A);
    KeymoraWidget B;
    Configure(B);
    Recorder R(B);
    const auto Error =
        LoadTextForm(B.control(), "Octave = 4\nDurationPosition = 0\nMaxDuration = eight\n");
    ASSERT_TRUE(Error);
    EXPECT_EQ(Error->What(), "line 3: bad value for \"MaxDuration\": expected an integer");
    ExpectSameOwnProperties(A, B);
    EXPECT_TRUE(R.Log.empty());
}

TEST_F(FormRoundTrip, TextFormBasePropertiesReachTheWidget) {
    KeymoraWidget W;
    const auto Error =
        LoadTextForm(W.control(),
                     "Font.Size = 14\nFont.Style = [fsBold]\nFont.Color = $000000FF\n"
                     "Enabled = false\nTabStop = false\n");
    ASSERT_FALSE(Error) << Error->What();
    EXPECT_EQ(W.font().pointSize(), 14);
    EXPECT_TRUE(W.font().bold());
    EXPECT_FALSE(W.font().italic());
    EXPECT_EQ(W.palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    EXPECT_FALSE(W.isEnabled());
    EXPECT_EQ(W.focusPolicy(), Qt::NoFocus);
    // And the control keeps exactly what it loaded.
    EXPECT_EQ(W.control().Font().Size, 14);
    EXPECT_EQ(W.control().Font().Color, 0x000000FFu);
}

}  // namespace
}  // namespace keymora::test
