// Start-up, the main loop and shutdown.
#pragma once

class FrameCapture;

// Runs the show; with a capture, off screen at the capture's frame rate.
// Returns the process exit code.
int RunShow(FrameCapture* capture);
