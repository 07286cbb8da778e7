#pragma once

// Registers every outside component of this library with the class registry. Hosts call it
// once at start-up; calling it again is harmless.
void RegisterOrvComponents();
