// Decomposition and composition of path names. Both '\' and '/' separate components;
// composition inserts '/'. Every output buffer holds QEL_PATH_MAX bytes: a result that does
// not fit comes back empty (never truncated), while return values still describe the path.
// Null inputs are legal everywhere.
#pragma once

enum { QEL_PATH_MAX = 260 };

// The part before the last separator ("." when there is none); 1 when there was one.
int pathname_get_dir(const char *path, char *out);
// The part after the last separator; 1 when it is not empty.
int pathname_get_file(const char *path, char *out);
// The file part without its extension; 1 when it is not empty.
int pathname_get_simple(const char *path, char *out);
// The text after the last '.' of the file part ("" when none); 1 when there is such a '.'.
int pathname_get_ext(const char *path, char *out);
// ext null: 1 when path has no extension; otherwise 1 when path's extension equals ext
// ignoring ASCII case. 0 for a null path.
int pathname_check_ext(const char *path, const char *ext);

// Fills the non-null outputs: dir as pathname_get_dir; file as pathname_get_file when ext is
// null, else as pathname_get_simple; ext as pathname_get_ext; the flags say whether there
// was a separator and an extension.
void pathname_get(const char *path, char *file, char *dir, int *has_dir, char *ext, int *has_ext);

// Rebuilds path with its simple name, directory and extension replaced by those given
// (null keeps the part, an empty ext removes the extension). Returns out.
char *pathname_set(char *out, const char *path, const char *name, const char *dir,
                   const char *ext);
// Places a relative path under dir and gives it ext when it has no extension; an absolute
// path (starting with a separator or holding a drive ':') keeps its directory. Returns out.
char *pathname_join(char *out, const char *path, const char *dir, const char *ext);
// path, then '.' and ext when ext is given and not empty; "" for a null path. Returns out.
char *pathname_add_ext(char *out, const char *path, const char *ext);

// Longest common directory of a and b, compared ignoring ASCII case ('\' and '/' match
// each other). common (when given) receives it without a trailing separator; *rest_a and
// *rest_b (when given) point after it and one separator. Returns its length.
int pathname_diff_dir(const char *a, const char *b, char *common, const char **rest_a,
                      const char **rest_b);
