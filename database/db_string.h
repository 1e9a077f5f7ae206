// Owned C strings of database records: malloc'd copies, freed with free().
#pragma once

namespace kiv::db {

// A malloc'd copy of s; null for a null s. Sets *failed when memory runs out.
char *copy_string(const char *s, bool *failed = nullptr);
// Frees *slot and stores a copy of s there (null clears). false, leaving *slot alone, when
// memory runs out.
bool replace_string(char *&slot, const char *s);
void free_string(char *&slot);

}  // namespace kiv::db
