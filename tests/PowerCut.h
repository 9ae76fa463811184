#pragma once

// A power cut without pulling a plug. A test linked against the hibi_powercut
// library runs with fsync, fdatasync, open and mkdir going through it first.
// From hibi_powercut_begin on, what the disk holds is what was synced: a file's
// bytes as they were at its last fsync or fdatasync, a folder's names (and which
// file or folder each name stands for) as they were at the folder's last fsync.
// Everything below the root at the start counts as synced; a file or folder
// made afterwards holds nothing until it is synced. hibi_powercut_image writes
// what a power cut at that moment would leave of the root into a new folder,
// where an ordinary reader can look at it.

#ifdef __cplusplus
extern "C" {
#endif

// Starts watching; `root` as it is now counts as on the disk. 0 on success.
int hibi_powercut_begin(const char *root);
// Writes what a power cut now would leave of the root into `image`, a folder
// that does not exist yet. 0 on success.
int hibi_powercut_image(const char *image);
// Stops watching.
void hibi_powercut_end(void);
// Makes the nth sync from now (1 the next) of a folder (`folder` not 0) or of a
// file fail with EIO, once, without syncing.
void hibi_powercut_fail_sync(int folder, int nth);
// How many syncs were seen since the start: a test that sees none is not
// looking through the library at all.
long hibi_powercut_syncs(void);

#ifdef __cplusplus
}
#endif
