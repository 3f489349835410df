#pragma once

// Registers every compiled-in resource file. Call once before the first ":/" access
// (main and every test do); the resources live in a static library.
void talmenoInitResources();
