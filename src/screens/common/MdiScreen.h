#pragma once

// A child window of the main window that follows the screen contract: on activation it becomes
// the screen the link writes into and takes over the port; on deactivation it keeps what it
// restores next time; on unload it closes the port.
class MdiScreen
{
public:
    virtual ~MdiScreen() = default;
    virtual void activate() = 0;
    virtual void deactivate() = 0;
};
