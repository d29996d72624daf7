# Finishes the site beside the built program: the page and the service
# worker stamped with the game files' sizes and the build's hash (over every
# file the worker caches), the manifest, and the icon's pictures from a
# native build's asset tool.
#   cmake -DSOURCE=DIR -DSITE=DIR -DICONS=DIR -P site.cmake
foreach(size 32 192 512)
  file(COPY ${ICONS}/icon-${size}.png DESTINATION ${SITE})
endforeach()
file(COPY ${SOURCE}/manifest.webmanifest DESTINATION ${SITE})
set(hashes "")
foreach(file index.html sw.js)
  file(SHA256 ${SOURCE}/${file} hash)
  string(APPEND hashes ${hash})
endforeach()
foreach(file velmora.js velmora.wasm velmora.data manifest.webmanifest icon-32.png icon-192.png icon-512.png)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes ${hash})
endforeach()
string(SHA256 hash "${hashes}")
string(SUBSTRING ${hash} 0 16 VELMORA_BUILD)
file(SIZE ${SITE}/velmora.js VELMORA_JS_BYTES)
file(SIZE ${SITE}/velmora.wasm VELMORA_WASM_BYTES)
file(SIZE ${SITE}/velmora.data VELMORA_DATA_BYTES)
configure_file(${SOURCE}/index.html ${SITE}/index.html @ONLY)
configure_file(${SOURCE}/sw.js ${SITE}/sw.js @ONLY)
