#pragma once

class PortCatalog;
class VirtualController;

// Offers the virtual controller as the next free port, over a line that runs at the port's
// speed, so transfers take as long as on a real cable. Returns its port number.
int AddVirtualControllerPort(PortCatalog& catalog, VirtualController& controller);

// Starts the main window on the virtual controller alone, sends the call command and checks the
// answer. Prints the outcome; 0 when the controller answered "y".
int RunSelfTest();
