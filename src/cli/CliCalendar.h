#pragma once

// The calendar side of the document commands: due-date events follow issuing, payment and
// deletion as they do in the window.
class ZTCalendarManager;

// The program's calendar manager, with calendar errors written to standard error as warnings
// (the document change they follow stands).
ZTCalendarManager &cliCalendarManager();
// Waits until the calendar store has answered every access request and the events have been
// written: the answer comes on another thread, and the process must not end before it.
void cliWaitForCalendar();
