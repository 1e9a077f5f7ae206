// Process utilities: opening documents, programs and URLs with the desktop, the module's
// directory, string resources, directory listings, sleeping and system identifiers.
#pragma once

// Opens a document or URL with the desktop's default application (xdg-open); an
// executable file, or the name of a program on PATH, is started directly with parameters
// (split at spaces, double quotes grouping). Windows-style local names ("parts\Bolt.KVG") are resolved first. Does not
// wait. 1 when a process was started, else 0.
int qel_launchApp(const char *file, const char *parameters);
int qel_launchApp(const unsigned short *file, const unsigned short *parameters);

// Opens url with the desktop's default application; 1 when a process was started.
int qel_browseURL(const char *url);
int qel_browseURL(const unsigned short *url);
// The same, then waits without limit until the started process ends (no wait when none
// was started).
int qel_browseURL_and_wait(const char *url);
int qel_browseURL_and_wait(const unsigned short *url);

// Directory of the module containing the address module (any function or object of it; a
// null module means the executable), without a trailing '/'. Written into out when it fits
// in size bytes, else out is emptied. Returns out.
char *qel_getlaunchd(void *module, char *out, int size);
char *qel_getlaunchd(char *out, int size);

// The engine's string resource id (100 "kivctrl", 40000-40006 the image format names) when
// module is null or inside the engine, otherwise, or when there is no such string, the
// fallback. At most size - 1 bytes and a terminator are written (cut at a character
// boundary). Returns the number of bytes written before the terminator.
int qel_get_rcstring(void *module, unsigned id, char *out, const char *fallback, int size);

// A directory listing: the names in dir matching pattern (default "*.*", every name;
// wildcards as fnmatch, ignoring letter case), sorted case-insensitively. "." and ".." are
// listed when they match. Null when nothing matches. qel_dirnext returns the next name
// (owned by the listing) or null; qel_dirclose frees the listing.
struct QEL_DIRECTORY;
QEL_DIRECTORY *qel_diropen(const char *dir, const char *pattern = "*.*");
char *qel_dirnext(QEL_DIRECTORY *d);
void qel_dirclose(QEL_DIRECTORY *d);

// Suspend the calling thread; both return 0.
int qel_sleep(unsigned seconds);
int qel_msleep(unsigned milliseconds);

// The serial number of the system volume (the root file system's id).
unsigned qel_getdiskid();

// A new GUID "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper-case hexadecimal) in memory
// from malloc that the caller releases with free(); null on failure.
char *qel_getguid();
