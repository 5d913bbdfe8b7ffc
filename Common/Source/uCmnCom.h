// COM for the threads that use it, started on first use: a program that never needs the shell's
// objects never loads COM.
#pragma once

// Starts COM (apartment) on the calling thread the first time that thread calls it, and ends it
// with the thread; later calls do nothing. True when COM is ready on the thread (also when the
// thread had started it itself).
bool ComEnsure();
