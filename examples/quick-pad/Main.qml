// Keymora Quick Pad: a keyboard that lights the notes played and a line showing them.
import QtQuick
import Keymora 1.0

Rectangle {
    id: pad
    width: 720
    height: 170
    color: "#f0f0f0"
    property var entered: []

    Text {
        id: line
        objectName: "notesLine"
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 8 }
        text: pad.entered.length ? pad.entered.join(" ") : "Play a key: click, touch or type C D E F G A B"
        elide: Text.ElideLeft
        font.pixelSize: 16
    }

    KeymoraKeyboard {
        id: keys
        objectName: "keyboard"
        anchors { left: parent.left; right: parent.right; top: line.bottom; bottom: parent.bottom; margins: 8 }
        focus: true
        showHint: true
        onNotePlayed: (note, name) => {
            pad.entered = pad.entered.concat([name])
            keys.lightNote(note)
        }
        onKeyClick: (octave, note, tone) => {
            if (note < 1) pad.entered = pad.entered.concat(["rest"])
        }
    }

    // The duration hint while the pointer tracks, drawn by the application.
    Text {
        visible: keys.hintVisible
        text: keys.hintText
        anchors { right: parent.right; top: parent.top; margins: 8 }
    }

    function clear() {
        entered = []
        keys.releaseSelected()
    }
}
