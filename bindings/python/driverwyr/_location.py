"""Where the library and its description lie relative to this package.
None in the source tree (load() is then given them, or DRIVERWYR_LIBRARY);
`cmake --install` installs this file with the paths of its own prefix."""
LIBRARY = None
DESCRIPTION = None
