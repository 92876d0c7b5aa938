"""Presses or releases Shift in the X server through the XTEST extension: hold_x_key.py down|up.

The editor's input test runs it from inside Wine, so that a Shift held during pointer moves is
held in the X server as a real keyboard's would be."""
import ctypes
import sys

XK_SHIFT_L = 0xFFE1

x11 = ctypes.CDLL("libX11.so.6")
xtest = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
keycode = x11.XKeysymToKeycode(display, XK_SHIFT_L)
xtest.XTestFakeKeyEvent(display, keycode, 1 if sys.argv[1:] == ["down"] else 0, 0)
x11.XFlush(display)
x11.XCloseDisplay(display)
