// Test support for everything that runs under X: include this one header.
//
//   XvfbServer     a private Xvfb on a free display number; ready when Start returns, ended
//                  with the object (and with the test process). XvfbServer::Available() tells
//                  whether Xvfb is installed; NERITH_XVFB names another binary.
//   XvfbTest       GoogleTest fixture: server_, session_ (XSession) and input_ (XTestDriver);
//                  skips only when Xvfb is missing. Override ServerOptions() for another
//                  screen size or depth.
//   XSession       the test's own connection: properties (TextProperty, Property32,
//                  AtomProperty, SetProperty32), Geometry in root coordinates, IsMapped,
//                  ShapeRects (bounding or input), TransientFor, acting as another client
//                  (MoveWindow, CreatePlainWindow, SendClientMessage), watching the client
//                  messages that reach the root (a stand-in window manager's view).
//   WindowLookup   TopLevelWindows (stacking order, bottom first), FindWindowByName,
//                  FindWindowsByPid, WaitForMappedWindow, WaitUntilViewable/Hidden.
//   XTestDriver    MovePointer, ButtonDown/Up, Click, Drag; keys by keysym name: TapKey
//                  ("Escape", "Return"), Chord({"Alt_L", "space"}).
//   Screenshot     CaptureScreen (root area) and CaptureWindow into an Image of 0x00RRGGBB
//                  at any screen depth.
//   Image          Crop, CountPixels, FirstDifference, DescribeDifference.
//   Png            WritePng and ReadPng (8-bit RGB).
//   ChildProcess   starts a program with extra or removed environment variables, captures
//                  standard output and error into files (Stdout(), Stderr()), Wait with a
//                  time-out, Terminate; the child never outlives the test.
//   WaitFor        polls a condition with a time-out; every wait in this library is bounded.
#pragma once

#include "ChildProcess.h"
#include "Image.h"
#include "Png.h"
#include "Screenshot.h"
#include "WindowLookup.h"
#include "XSession.h"
#include "XTestDriver.h"
#include "XvfbServer.h"
#include "XvfbTest.h"
