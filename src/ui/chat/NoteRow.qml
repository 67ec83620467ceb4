import QtQuick
import Emberglass.Common
import Emberglass.Theme

// A line the system adds to the transcript (older messages left out to fit the
// model's context): the agent never sees it, so it is no one's bubble.
Item {
    id: row

    property string content

    function resetViewState() {
        note.deselect()
    }

    implicitHeight: note.implicitHeight + 16

    SelectableText {
        id: note
        objectName: "noteText"
        x: 20
        y: 8
        width: row.width - 40
        text: row.content
        surface: Theme.surface
        horizontalAlignment: TextEdit.AlignHCenter
        wrapMode: TextEdit.Wrap
        color: Theme.textSecondary
        font.family: Theme.fontFamily
        font.pixelSize: Theme.textCaption
        font.italic: true
        Accessible.name: Texts.noteAuthor
    }
}
