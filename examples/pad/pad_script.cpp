// The pad's scripted sessions: the script engine attached to the pad's keyboard, with the pad's
// own commands served through the engine's extension hook.
#include "pad_script.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <deque>
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
#include "keymora/pitch/pitch.h"
#include "pad_window.h"

namespace keymora::pad {

namespace {

using script::TExtensionResult;

TExtensionResult PadCommand(PadWindow& W, std::deque<PadWindow::Answer>& Answers,
                            const std::vector<std::string>& A, std::ostream& Out,
                            std::string& Error) {
    const std::string& Name = A[0];
    const auto Arity = [&](std::size_t Wanted) {
        if (A.size() - 1 == Wanted) return true;
        Error =
            (A.size() - 1 < Wanted ? "missing arguments for " : "too many arguments for ") + Name;
        return false;
    };
    std::string Line;
    const auto Int = [&](const std::string& Text, int Low, int High, int& Value) {
        try {
            std::size_t Used = 0;
            const long V = std::stol(Text, &Used, 10);
            if (Used == Text.size() && V >= Low && V <= High) {
                Value = static_cast<int>(V);
                return true;
            }
        } catch (const std::exception&) {
        }
        Error = Name + ": " + Text + " is not a number from " + std::to_string(Low) + " to " +
                std::to_string(High);
        return false;
    };
    const auto FileName = [](const std::string& Bytes) {
        return QFile::decodeName(QByteArray::fromStdString(Bytes));
    };
    const auto Document = [&W](std::string& Out) {
        Out = "{\"file\":";
        script::AppendJsonString(Out, QFile::encodeName(W.document().filePath()).toStdString());
        Out += ",\"entries\":";
        script::AppendJsonInt(Out, W.notes().Size());
        Out += ",\"modified\":";
        Out += W.document().isModified() ? "true" : "false";
        Out += ",\"selection\":";
        script::AppendJsonInt(Out, W.selection() < 0 ? 0 : W.selection() + 1);
        Out += ",\"time\":\"" + std::to_string(W.notes().Time().Beats) + "/" +
               std::to_string(W.notes().Time().BeatType) + "\",\"tempo\":";
        script::AppendJsonInt(Out, W.notes().Tempo());
        Out += '}';
    };
    if (script::SameText(Name, "document")) {
        if (!Arity(0)) return TExtensionResult::Failed;
        Document(Line);
    } else if (script::SameText(Name, "answer")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        PadWindow::Answer Given;
        if (script::SameText(A[1], "save")) {
            Given = PadWindow::Answer::Save;
        } else if (script::SameText(A[1], "discard")) {
            Given = PadWindow::Answer::Discard;
        } else if (script::SameText(A[1], "cancel")) {
            Given = PadWindow::Answer::Cancel;
        } else {
            Error = "answer: save, discard or cancel, not " + A[1];
            return TExtensionResult::Failed;
        }
        Answers.push_back(Given);
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "new")) {
        if (!Arity(0)) return TExtensionResult::Failed;
        if (!W.newDocument()) {
            Error = "new: cancelled, the unsaved changes were kept";
            return TExtensionResult::Failed;
        }
        Document(Line);
    } else if (script::SameText(Name, "open")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        QString Why;
        if (!W.openDocument(FileName(A[1]), Why)) {
            Error = "open: " + Why.toStdString();
            return TExtensionResult::Failed;
        }
        Document(Line);
    } else if (script::SameText(Name, "save")) {
        if (A.size() > 2) {
            Arity(1);
            return TExtensionResult::Failed;
        }
        QString Why;
        if (!W.saveDocument(A.size() == 2 ? FileName(A[1]) : QString(), Why)) {
            Error = "save: " + Why.toStdString();
            return TExtensionResult::Failed;
        }
        Document(Line);
    } else if (script::SameText(Name, "select")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        int N = 0;
        if (script::SameText(A[1], "end")) {
            W.select(-1);
        } else {
            if (!Int(A[1], 1, W.notes().Size(), N)) return TExtensionResult::Failed;
            W.select(N - 1);
        }
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "insert")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        if (!script::SameText(A[1], "on") && !script::SameText(A[1], "off")) {
            Error = "insert: on or off, not " + A[1];
            return TExtensionResult::Failed;
        }
        W.setInsertMode(script::SameText(A[1], "on"));
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "delete") || script::SameText(Name, "rest") ||
               script::SameText(Name, "redo") || script::SameText(Name, "stop")) {
        if (!Arity(0)) return TExtensionResult::Failed;
        if (script::SameText(Name, "delete"))
            W.deleteEntry();
        else if (script::SameText(Name, "rest"))
            W.insertRest();
        else if (script::SameText(Name, "redo"))
            W.redo();
        else
            W.stop();
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "tempo")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        int T = 0;
        if (!Int(A[1], MinTempo, MaxTempo, T)) return TExtensionResult::Failed;
        W.document().setTempo(T);
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "time")) {
        if (!Arity(1)) return TExtensionResult::Failed;
        const std::size_t Slash = A[1].find('/');
        TTimeSignature T;
        if (Slash == std::string::npos || !Int(A[1].substr(0, Slash), 1, 32, T.Beats) ||
            !Int(A[1].substr(Slash + 1), 1, 32, T.BeatType) || !T.Valid()) {
            Error = "time: " + A[1] + " is no time signature (1 to 32 beats of 1, 2, 4, 8, 16 "
                                      "or 32)";
            return TExtensionResult::Failed;
        }
        W.document().setTime(T);
        return TExtensionResult::Done;
    } else if (script::SameText(Name, "play")) {
        if (A.size() > 2) {
            Arity(1);
            return TExtensionResult::Failed;
        }
        int Count = -1;
        if (A.size() == 2 && !Int(A[1], 1, 1000000, Count)) return TExtensionResult::Failed;
        // Plays in real time at the document's tempo; the line ends when playback does.
        W.play(Count);
        while (W.playing()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        Line = "{\"played\":[";
        bool First = true;
        for (const QString& P : W.playedNotes()) {
            if (!First) Line += ',';
            First = false;
            script::AppendJsonString(Line, P.toStdString());
        }
        // What still sounds or shows afterwards: nothing, or playback left a note hanging.
        Line += "],\"coloured\":";
        int Coloured = 0;
        for (int N = LowestKeyMidi; N <= HighestKeyMidi; ++N)
            Coloured += W.keyboard().noteColor(N).isValid() ? 1 : 0;
        script::AppendJsonInt(Line, Coloured);
        Line += '}';
    } else if (script::SameText(Name, "notes")) {
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
    // Questions about unsaved changes take the answers the script gave with "answer", in
    // order; without one the changes are kept (cancel).
    std::deque<PadWindow::Answer> Answers;
    Window.setAsk([&Answers](const QString&) {
        if (Answers.empty()) return PadWindow::Answer::Cancel;
        const PadWindow::Answer A = Answers.front();
        Answers.pop_front();
        return A;
    });
    Engine.SetExtension([&Window, &Answers](const std::vector<std::string>& Args,
                                            std::ostream& O, std::string& Error) {
        return PadCommand(Window, Answers, Args, O, Error);
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
    const int Status = Engine.Run(*In);
    Window.setAsk([](const QString&) { return PadWindow::Answer::Cancel; });
    return Status;
}

}  // namespace

int RunPadScript(PadWindow& Window, std::istream& In, std::ostream& Out) {
    return Run(Window, &In, {}, Out);
}

int RunPadScriptFile(PadWindow& Window, const std::string& Path, std::ostream& Out) {
    return Run(Window, nullptr, Path, Out);
}

}  // namespace keymora::pad
