// Keeps the installer core library non-empty before its first sources land.
