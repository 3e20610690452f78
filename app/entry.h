// Start-up, the main loop and shutdown.
#pragma once

class FrameCapture;

// Runs the show; with a capture, off screen at the capture's frame rate.
// Playing, a `playFrom` above 0 opens the show at that timeline time (a jump,
// app/jumps.h). Returns the process exit code.
int RunShow(FrameCapture* capture, float playFrom = 0.0f);
