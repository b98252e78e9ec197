// A private X server (Xvfb) for one test, and real input events sent to it through the XTEST
// extension. No X11 header leaks out of here: its macros clash with Qt's.
#pragma once

#include <memory>
#include <string>

namespace keymora::test {

class XSession {
  public:
    /// Starts Xvfb on a free display with one 800 x 600 x 24 screen. Check Ok(); Why() tells
    /// what is missing when it is not.
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool Ok() const { return Ok_; }
    const std::string& Why() const { return Why_; }
    /// The display name, ":N".
    const std::string& Display() const { return Display_; }

    /// Moves the pointer to screen (X, Y) and clicks the left button.
    void Click(int X, int Y);
    /// Presses and releases the key of an X keysym name such as "d".
    void Type(const char* KeysymName);

  private:
    struct Impl;
    std::unique_ptr<Impl> I_;
    bool Ok_ = false;
    std::string Why_;
    std::string Display_;
};

}  // namespace keymora::test
