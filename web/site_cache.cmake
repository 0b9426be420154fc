# Writes the site's service worker (SITE/sw.js) from sw.js.in: the list of
# the site's files, and a digest of their contents that names the cache.
#   cmake -DSITE=... -DTEMPLATE=.../sw.js.in -DFILES="a;b;..." -P site_cache.cmake
set(digests "")
set(quoted "\"./\"")
foreach(file ${FILES})
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND quoted ", \"${file}\"")
endforeach()
string(SHA256 ZELO_SITE_DIGEST "${digests}")
string(SUBSTRING ${ZELO_SITE_DIGEST} 0 16 ZELO_SITE_DIGEST)
set(ZELO_SITE_FILES "${quoted}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
