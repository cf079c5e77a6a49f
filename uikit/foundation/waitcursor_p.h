// The wait cursor of a blocking operation. Internal to the library.
#pragma once

namespace tsuikit {

// Shows the application's wait cursor from construction until Restore() or destruction, whichever
// comes first, so every way out of an operation (an early return, an exception) restores it.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    // Restores the cursor now, before a message box; later calls and the destructor do nothing.
    void Restore();

private:
    bool m_shown;
};

} // namespace tsuikit
