#ifndef DELAY_H
#define DELAY_H

// Waits msec milliseconds while the calling thread keeps handling its events (input, timers,
// sockets, queued signals). Code reached from those events may run, and may wait in turn.
void delay(unsigned msec);

#endif
