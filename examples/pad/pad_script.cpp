// The pad's scripted sessions: the script engine attached to the pad's keyboard, with the pad's
// own commands served through the engine's extension hook.
#include "pad_script.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <string>

#include "core/host/atomic_file.h"
#include "engine/json.h"
#include "engine/parser.h"
#include "engine/script.h"
#include "keymora/qt/image.h"
#include "keymora/qt/keymora_widget.h"
#include "pad_window.h"

namespace keymora::pad {

namespace {

using script::TExtensionResult;

TExtensionResult PadCommand(PadWindow& W, const std::vector<std::string>& A, std::ostream& Out,
                            std::string& Error) {
    const std::string& Name = A[0];
    const auto Arity = [&](std::size_t Wanted) {
        if (A.size() - 1 == Wanted) return true;
        Error =
            (A.size() - 1 < Wanted ? "missing arguments for " : "too many arguments for ") + Name;
        return false;
    };
    std::string Line;
    if (script::SameText(Name, "notes")) {
        if (!Arity(0)) return TExtensionResult::Failed;
        Line = "{\"notes\":[";
        bool First = true;
        for (const TEntry& E : W.notes().Entries()) {
            if (!First) Line += ',';
            First = false;
            script::AppendJsonString(Line, Describe(E));
        }
        Line += "]}";
    } else if (script::SameText(Name, "undo") || script::SameText(Name, "clear")) {
        if (!Arity(0)) return TExtensionResult::Failed;
        if (script::SameText(Name, "undo"))
            W.undo();
        else
            W.clear();
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "export")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        // The file is named by the script's bytes, written as given.
        if (!W.exportMidi(A[1], Error)) return TExtensionResult::Failed;
        Line = "{\"export\":";
        script::AppendJsonString(Line, A[1]);
        Line += ",\"entries\":";
        script::AppendJsonInt(Line, static_cast<long long>(W.notes().Entries().size()));
        Line += '}';
    } else if (script::SameText(Name, "screenshot")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        QCoreApplication::processEvents();
        const QSize Shot = W.saveScreenshot(A[1], Error);
        if (Shot.isEmpty()) return TExtensionResult::Failed;
        Line = "{\"screenshot\":";
        script::AppendJsonString(Line, A[1]);
        Line += ",\"width\":";
        script::AppendJsonInt(Line, Shot.width());
        Line += ",\"height\":";
        script::AppendJsonInt(Line, Shot.height());
        Line += '}';
    } else {
        return TExtensionResult::NotMine;
    }
    Out << Line << '\n';
    return TExtensionResult::Done;
}

}  // namespace

namespace {

int Run(PadWindow& Window, std::istream* In, const std::string& Path, std::ostream& Out) {
    script::TScriptEngine Engine(Out, &qt::PaintToPng);
    Engine.Attach(Window.keyboard().control());
    Engine.SetExtension(
        [&Window](const std::vector<std::string>& Args, std::ostream& O, std::string& Error) {
            return PadCommand(Window, Args, O, Error);
        });
    // Queued work (settings checks, layout) runs between lines, as between a user's actions.
    // Repaints are nothing a script sees until a screenshot, which paints first: the window
    // catches up on them now and then, so a long script costs no paint a line.
    QElapsedTimer SinceRepaint;
    SinceRepaint.start();
    Engine.SetAfterLine([&Window, &SinceRepaint] {
        if (SinceRepaint.elapsed() >= 100) {
            QCoreApplication::processEvents();
            SinceRepaint.restart();
        } else {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }
        Window.syncLayout();
        Window.saveSettings();
    });
    std::ifstream File;
    if (!In) {
        // Only a regular file is read: a directory or a FIFO is refused before it can fail or
        // block the read.
        if (const auto Why = host::CheckReadableFile(Path)) {
            Engine.ReportError(*Why, 0);
            return Engine.ExitStatus();
        }
        File.open(Path, std::ios::binary);
        if (!File) {
            Engine.ReportError("cannot open " + Path + ": " + std::strerror(errno), 0);
            return Engine.ExitStatus();
        }
        In = &File;
    }
    // Lines are read with the engine's bound: an endless line is refused, not collected.
    return Engine.Run(*In);
}

}  // namespace

int RunPadScript(PadWindow& Window, std::istream& In, std::ostream& Out) {
    return Run(Window, &In, {}, Out);
}

int RunPadScriptFile(PadWindow& Window, const std::string& Path, std::ostream& Out) {
    return Run(Window, nullptr, Path, Out);
}

}  // namespace keymora::pad
