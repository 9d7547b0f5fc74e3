// The windows and panels of the desktop program live beside this file.
