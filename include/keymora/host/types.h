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
    constexpr TArrayView(const T* Data, std::size_t Size) : Data_(Data), Size_(Size) {}
    template <std::size_t N>
    constexpr TArrayView(const T (&Array)[N]) : Data_(Array), Size_(N) {}
    /// Any contiguous container: std::array, std::vector, std::span.
    template <class C, class = decltype(std::declval<const C&>().data() +
                                        std::declval<const C&>().size())>
    constexpr TArrayView(const C& Container) : Data_(Container.data()), Size_(Container.size()) {}
    constexpr const T* data() const { return Data_; }
    constexpr std::size_t size() const { return Size_; }
    constexpr bool empty() const { return Size_ == 0; }
    constexpr const T* begin() const { return Data_; }
    constexpr const T* end() const { return Data_ + Size_; }
    constexpr const T& operator[](std::size_t I) const { return Data_[I]; }

  private:
    const T* Data_ = nullptr;
    std::size_t Size_ = 0;
};

/// A point in client pixels.
struct TPoint {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TPoint& A, const TPoint& B) {
        return A.X == B.X && A.Y == B.Y;
    }
    friend constexpr bool operator!=(const TPoint& A, const TPoint& B) { return !(A == B); }
};

/// A rectangle in client pixels; Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend constexpr bool operator==(const TRect& A, const TRect& B) {
        return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
    }
    friend constexpr bool operator!=(const TRect& A, const TRect& B) { return !(A == B); }
};

constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
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

constexpr TColor clBlack = 0x00000000;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGray = 0x00808080;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clWindowText = clBlack;

constexpr int GetRValue(TColor C) { return static_cast<int>(C & 0xFF); }
constexpr int GetGValue(TColor C) { return static_cast<int>((C >> 8) & 0xFF); }
constexpr int GetBValue(TColor C) { return static_cast<int>((C >> 16) & 0xFF); }

/// A set of up to eight enumeration values held in one byte, bit n for the value n.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Items) {
        for (E Item : Items) Include(Item);
    }
    static constexpr TSet FromBits(std::uint8_t Bits) {
        TSet S;
        S.Bits_ = Bits;
        return S;
    }
    constexpr std::uint8_t Bits() const { return Bits_; }
    constexpr bool Contains(E Item) const { return (Bits_ >> static_cast<int>(Item)) & 1u; }
    constexpr void Include(E Item) { Bits_ |= static_cast<std::uint8_t>(1u << static_cast<int>(Item)); }
    constexpr void Exclude(E Item) {
        Bits_ &= static_cast<std::uint8_t>(~(1u << static_cast<int>(Item)));
    }
    constexpr bool Empty() const { return Bits_ == 0; }
    friend constexpr bool operator==(TSet A, TSet B) { return A.Bits_ == B.Bits_; }
    friend constexpr bool operator!=(TSet A, TSet B) { return A.Bits_ != B.Bits_; }

private:
    std::uint8_t Bits_ = 0;
};

/// Modifier keys and mouse buttons held during an input step.
enum class TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
constexpr TShiftStateItem ssShift = TShiftStateItem::ssShift;
constexpr TShiftStateItem ssAlt = TShiftStateItem::ssAlt;
constexpr TShiftStateItem ssCtrl = TShiftStateItem::ssCtrl;
constexpr TShiftStateItem ssLeft = TShiftStateItem::ssLeft;
constexpr TShiftStateItem ssRight = TShiftStateItem::ssRight;
constexpr TShiftStateItem ssMiddle = TShiftStateItem::ssMiddle;
constexpr TShiftStateItem ssDouble = TShiftStateItem::ssDouble;

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
constexpr TMouseButton mbLeft = TMouseButton::mbLeft;
constexpr TMouseButton mbRight = TMouseButton::mbRight;
constexpr TMouseButton mbMiddle = TMouseButton::mbMiddle;

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
using TControlStyle = TSet<TControlStyleItem>;

/// Life-cycle flags of a component.
enum class TComponentStateItem : std::uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;
constexpr TComponentStateItem csLoading = TComponentStateItem::csLoading;
constexpr TComponentStateItem csDestroying = TComponentStateItem::csDestroying;
constexpr TComponentStateItem csDesigning = TComponentStateItem::csDesigning;

/// Cursor identifiers; the control only ever assigns the default one.
using TCursor = int;
constexpr TCursor crDefault = 0;

/// Virtual-key codes.
namespace vk {
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
}  // namespace vk

/// Window-message numbers the control and its host exchange.
namespace wm {
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_ERASEBKGND = 0x0014;
constexpr std::uint32_t WM_GETDLGCODE = 0x0087;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
}  // namespace wm

/// Answer bits of WM_GETDLGCODE.
constexpr std::intptr_t DLGC_WANTARROWS = 0x0001;
constexpr std::intptr_t DLGC_WANTTAB = 0x0002;
constexpr std::intptr_t DLGC_WANTCHARS = 0x0080;

/// Window style bits.
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;

/// A window message as the host dispatches it.
struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

/// Packs a point into a message's position field: X in the low, Y in the high 16 bits.
constexpr std::intptr_t MakePointParam(TPoint P) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(P.X) & 0xFFFFu) |
                                      ((static_cast<std::uint32_t>(P.Y) & 0xFFFFu) << 16));
}

/// Window-creation parameters handed to CreateParams.
struct TCreateParams {
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

}  // namespace keymora
