/// \file
/// Plain value types and constants of the host layer: rectangles, points, colours, small sets,
/// shift states, virtual-key codes, window-message numbers and style bits. Everything here is
/// header-only and depends on the standard library alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>

/// The keyboard control, its host layer, pitch and duration helpers, and the headless binding.
namespace keymora {

/// A read-only view of contiguous elements (what std::span<const T> is in C++20; the public
/// headers keep to C++17).
template <class T>
class TArrayView {
  public:
    constexpr TArrayView() = default;
    /// Size elements from Data on.
    constexpr TArrayView(const T* Data, std::size_t Size) : Data_(Data), Size_(Size) {}
    /// The whole of Array.
    template <std::size_t N>
    constexpr TArrayView(const T (&Array)[N]) : Data_(Array), Size_(N) {}
    /// Any contiguous container: std::array, std::vector, std::span.
    template <class C, class = decltype(std::declval<const C&>().data() +
                                        std::declval<const C&>().size())>
    constexpr TArrayView(const C& Container) : Data_(Container.data()), Size_(Container.size()) {}
    /// The first element (null for a default-constructed view).
    constexpr const T* data() const { return Data_; }
    /// The number of elements.
    constexpr std::size_t size() const { return Size_; }
    /// True when there are no elements.
    constexpr bool empty() const { return Size_ == 0; }
    /// Start of the range.
    constexpr const T* begin() const { return Data_; }
    /// End of the range.
    constexpr const T* end() const { return Data_ + Size_; }
    /// Element I, unchecked: I must be below size().
    constexpr const T& operator[](std::size_t I) const { return Data_[I]; }

  private:
    const T* Data_ = nullptr;
    std::size_t Size_ = 0;
};

/// A point in client pixels.
struct TPoint {
    /// Horizontal coordinate, growing to the right.
    int X = 0;
    /// Vertical coordinate, growing downwards.
    int Y = 0;
    /// Equal when both coordinates are.
    friend constexpr bool operator==(const TPoint& A, const TPoint& B) {
        return A.X == B.X && A.Y == B.Y;
    }
    /// Unequal when either coordinate differs.
    friend constexpr bool operator!=(const TPoint& A, const TPoint& B) { return !(A == B); }
};

/// A rectangle in client pixels; Right and Bottom are exclusive.
struct TRect {
    /// Left edge (inclusive).
    int Left = 0;
    /// Top edge (inclusive).
    int Top = 0;
    /// Right edge (exclusive).
    int Right = 0;
    /// Bottom edge (exclusive).
    int Bottom = 0;
    /// Right - Left; negative for an inverted rectangle.
    constexpr int Width() const { return Right - Left; }
    /// Bottom - Top; negative for an inverted rectangle.
    constexpr int Height() const { return Bottom - Top; }
    /// True when the rectangle covers no pixel (zero or negative width or height).
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    /// Equal when all four edges are.
    friend constexpr bool operator==(const TRect& A, const TRect& B) {
        return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
    }
    /// Unequal when any edge differs.
    friend constexpr bool operator!=(const TRect& A, const TRect& B) { return !(A == B); }
};

/// The rectangle with these edges (Right and Bottom exclusive).
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
/// The point (X, Y).
constexpr TPoint Point(int X, int Y) { return {X, Y}; }

/// Moves a rectangle by (Dx, Dy).
constexpr void OffsetRect(TRect& R, int Dx, int Dy) {
    R.Left += Dx;
    R.Right += Dx;
    R.Top += Dy;
    R.Bottom += Dy;
}

/// A host colour value, $00BBGGRR.
using TColor = std::uint32_t;

///@{
/// Named colours in the $00BBGGRR encoding: black, maroon, gray, silver, red and white, and
/// clWindowText (black), the default font colour.
constexpr TColor clBlack = 0x00000000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGray = 0x00808080;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clWindowText = clBlack;
///@}

///@{
/// The red (GetRValue), green (GetGValue) or blue (GetBValue) component of C, 0..255.
constexpr int GetRValue(TColor C) { return static_cast<int>(C & 0xFF); }
constexpr int GetGValue(TColor C) { return static_cast<int>((C >> 8) & 0xFF); }
constexpr int GetBValue(TColor C) { return static_cast<int>((C >> 16) & 0xFF); }
///@}

/// A set of up to eight enumeration values held in one byte, bit n for the value n.
template <class E>
class TSet {
public:
    /// The empty set.
    constexpr TSet() = default;
    /// The set holding Items.
    constexpr TSet(std::initializer_list<E> Items) {
        for (E Item : Items) Include(Item);
    }
    /// The set whose bit n stands for value n.
    static constexpr TSet FromBits(std::uint8_t Bits) {
        TSet S;
        S.Bits_ = Bits;
        return S;
    }
    /// The set as bits, bit n for value n.
    constexpr std::uint8_t Bits() const { return Bits_; }
    /// Whether Item is in the set.
    constexpr bool Contains(E Item) const { return (Bits_ >> static_cast<int>(Item)) & 1u; }
    /// Adds Item; nothing changes when it is in already.
    constexpr void Include(E Item) { Bits_ |= static_cast<std::uint8_t>(1u << static_cast<int>(Item)); }
    /// Removes Item; nothing changes when it is not in.
    constexpr void Exclude(E Item) {
        Bits_ &= static_cast<std::uint8_t>(~(1u << static_cast<int>(Item)));
    }
    /// True when no value is in the set.
    constexpr bool Empty() const { return Bits_ == 0; }
    /// Equal when both hold the same values.
    friend constexpr bool operator==(TSet A, TSet B) { return A.Bits_ == B.Bits_; }
    /// Unequal when one holds a value the other does not.
    friend constexpr bool operator!=(TSet A, TSet B) { return A.Bits_ != B.Bits_; }

private:
    std::uint8_t Bits_ = 0;
};

/// Modifier keys and mouse buttons held during an input step.
enum class TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
/// The modifier keys and mouse buttons held, as a set.
using TShiftState = TSet<TShiftStateItem>;
///@{
/// Shorthands for the TShiftStateItem values: Shift, Alt and Ctrl, the left, right and middle
/// mouse buttons, and ssDouble for a double click.
constexpr TShiftStateItem ssShift = TShiftStateItem::ssShift;
constexpr TShiftStateItem ssAlt = TShiftStateItem::ssAlt;
constexpr TShiftStateItem ssCtrl = TShiftStateItem::ssCtrl;
constexpr TShiftStateItem ssLeft = TShiftStateItem::ssLeft;
constexpr TShiftStateItem ssRight = TShiftStateItem::ssRight;
constexpr TShiftStateItem ssMiddle = TShiftStateItem::ssMiddle;
constexpr TShiftStateItem ssDouble = TShiftStateItem::ssDouble;
///@}

/// The mouse button of a press or release.
enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
///@{
/// Shorthands for the TMouseButton values.
constexpr TMouseButton mbLeft = TMouseButton::mbLeft;
constexpr TMouseButton mbRight = TMouseButton::mbRight;
constexpr TMouseButton mbMiddle = TMouseButton::mbMiddle;
///@}

/// Behaviour flags of a control, fixed by its constructor.
enum class TControlStyleItem : std::uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks
};
/// A control's behaviour flags, as a set.
using TControlStyle = TSet<TControlStyleItem>;

/// Life-cycle flags of a component.
enum class TComponentStateItem : std::uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning };
/// A component's life-cycle flags, as a set.
using TComponentState = TSet<TComponentStateItem>;
///@{
/// Shorthands for the TComponentStateItem values the control tests: csLoading while a form
/// assigns properties (until Loaded), csDestroying and csDesigning.
constexpr TComponentStateItem csLoading = TComponentStateItem::csLoading;
constexpr TComponentStateItem csDestroying = TComponentStateItem::csDestroying;
constexpr TComponentStateItem csDesigning = TComponentStateItem::csDesigning;
///@}

/// Cursor identifiers; the control only ever assigns the default one.
using TCursor = int;
/// The default cursor, the only one the control assigns.
constexpr TCursor crDefault = 0;

/// Virtual-key codes.
namespace vk {
///@{
/// The codes KeyDown and KeyUp receive for keys other than letters and digits (those arrive as
/// their ASCII capitals): Shift, Ctrl, Space, Page Up (VK_PRIOR), Page Down (VK_NEXT), End,
/// Home, the arrows, Tab and the numeric keypad's digits VK_NUMPAD0 .. VK_NUMPAD9.
constexpr std::uint16_t VK_SHIFT = 0x10;
constexpr std::uint16_t VK_CONTROL = 0x11;
constexpr std::uint16_t VK_SPACE = 0x20;
constexpr std::uint16_t VK_PRIOR = 0x21;
constexpr std::uint16_t VK_NEXT = 0x22;
constexpr std::uint16_t VK_END = 0x23;
constexpr std::uint16_t VK_HOME = 0x24;
constexpr std::uint16_t VK_LEFT = 0x25;
constexpr std::uint16_t VK_UP = 0x26;
constexpr std::uint16_t VK_RIGHT = 0x27;
constexpr std::uint16_t VK_DOWN = 0x28;
constexpr std::uint16_t VK_TAB = 0x09;
constexpr std::uint16_t VK_NUMPAD0 = 0x60;
constexpr std::uint16_t VK_NUMPAD9 = 0x69;
///@}
}  // namespace vk

/// Window-message numbers the control and its host exchange.
namespace wm {
///@{
/// Focus taken (WM_SETFOCUS) and lost (WM_KILLFOCUS); background erase (WM_ERASEBKGND, answered
/// with 0 by the control: it paints its whole client area itself); the keys the control wants
/// (WM_GETDLGCODE, answered with DLGC_ bits); pointer moved (WM_MOUSEMOVE, the message of a
/// hint request, with the position packed by MakePointParam).
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_ERASEBKGND = 0x0014;
constexpr std::uint32_t WM_GETDLGCODE = 0x0087;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
///@}
}  // namespace wm

/// Answer bits of WM_GETDLGCODE.
///@{
/// The control wants the arrow keys (DLGC_WANTARROWS), Tab (DLGC_WANTTAB) or characters
/// (DLGC_WANTCHARS); it answers DLGC_WANTARROWS.
constexpr std::intptr_t DLGC_WANTARROWS = 0x0001;
constexpr std::intptr_t DLGC_WANTTAB = 0x0002;
constexpr std::intptr_t DLGC_WANTCHARS = 0x0080;
///@}

/// Window style bits.
///@{
/// A child window (WS_CHILD), shown (WS_VISIBLE), not painting over its children
/// (WS_CLIPCHILDREN), reached by Tab (WS_TABSTOP, set by TKeymora while TabStop is true).
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
///@}

/// A window message as the host dispatches it.
struct TMessage {
    /// The message number (see namespace wm).
    std::uint32_t Msg = 0;
    /// The first parameter; its meaning depends on the message.
    std::uintptr_t WParam = 0;
    /// The second parameter; a position for WM_MOUSEMOVE (MakePointParam).
    std::intptr_t LParam = 0;
    /// The handler's answer, 0 unless it sets one.
    std::intptr_t Result = 0;
};

/// Packs a point into a message's position field: X in the low, Y in the high 16 bits.
constexpr std::intptr_t MakePointParam(TPoint P) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(P.X) & 0xFFFFu) |
                                      ((static_cast<std::uint32_t>(P.Y) & 0xFFFFu) << 16));
}

/// Window-creation parameters handed to CreateParams.
struct TCreateParams {
    /// WS_ style bits.
    std::uint32_t Style = 0;
    /// Extended style bits (none are used).
    std::uint32_t ExStyle = 0;
    /// Position of the window in its parent's client pixels.
    int X = 0;
    /// Position of the window in its parent's client pixels.
    int Y = 0;
    /// Size of the window in pixels.
    int Width = 0;
    /// Size of the window in pixels.
    int Height = 0;
};

}  // namespace keymora
