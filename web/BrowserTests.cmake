# The browser test (label "browser"): builds the web site with emscripten into this build tree
# and runs the Playwright tests in headless Chromium, comparing the module with this build's
# nonet tool. Included from tests/; skipped with a note when a tool is missing.
option(NONET_BROWSER_TESTS "Run the browser tests (emscripten, chromium, web/node_modules)" ON)
if(NONET_BROWSER_TESTS)
  find_program(NONET_EMCMAKE emcmake)
  find_program(NONET_CHROMIUM chromium)
  find_program(NONET_NODE node)
  if(NONET_EMCMAKE AND NONET_CHROMIUM AND NONET_NODE AND TARGET nonet_cli
     AND EXISTS ${PROJECT_SOURCE_DIR}/web/node_modules/@playwright/test)
    add_test(NAME browser COMMAND bash ${PROJECT_SOURCE_DIR}/tools/test-web.sh ${PROJECT_BINARY_DIR}/web)
    set_tests_properties(browser PROPERTIES LABELS browser TIMEOUT 1200
      ENVIRONMENT "NONET_CLI=$<TARGET_FILE:nonet_cli>")
  else()
    message(STATUS "Browser tests skipped: they need emcmake, chromium, node and web/node_modules "
                   "(bash tools/install-deps.sh web)")
  endif()
endif()
