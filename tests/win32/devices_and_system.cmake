# The win32 backend's wave devices, tones, folders, profile and registry under Wine (included
# by CMakeLists.txt beside this file). No X server is needed: the devices report to a
# message-only window. The programs run through the cross build's emulator
# (tests/wine/run_under_wine.sh) in the build's Wine prefix.

set(win32_test_libraries platform_win32 GTest::gtest_main)

# Wine's wave devices go through ALSA, whose configuration comes from $HOME/.asoundrc: one
# folder per kind of machine, each a HOME for the tests run in it.
set(alsa_homes ${CMAKE_CURRENT_BINARY_DIR}/alsa)
set(alsa_file_device ${alsa_homes}/file_device)
file(MAKE_DIRECTORY ${alsa_file_device} ${alsa_homes}/no_device ${alsa_homes}/missing_pcm)
# The file plugin over the null device: playback is written to out.raw, capture reads in.raw.
file(WRITE ${alsa_file_device}/.asoundrc
     "pcm.!default { type file slave.pcm \"null\" file \"${alsa_file_device}/out.raw\" "
     "infile \"${alsa_file_device}/in.raw\" format \"raw\" }\n")
# A default device whose slave does not exist.
file(WRITE ${alsa_homes}/missing_pcm/.asoundrc
     "pcm.!default { type file slave.pcm \"veranto_no_such_pcm\" "
     "file \"${alsa_homes}/missing_pcm/out.raw\" format \"raw\" }\n")

add_executable(test_win32_devices wave_devices_test.cpp)
target_link_libraries(test_win32_devices PRIVATE ${win32_test_libraries})
target_include_directories(test_win32_devices PRIVATE ${CMAKE_SOURCE_DIR}/tests)

# One process for all the device tests: they share the device files.
add_test(NAME win32_wave_devices COMMAND test_win32_devices --gtest_filter=WaveDevices*:Formats/*)
set_tests_properties(win32_wave_devices PROPERTIES TIMEOUT 180
  ENVIRONMENT "HOME=${alsa_file_device};VERANTO_ALSA_FOLDER=${alsa_file_device}")
add_test(NAME win32_wave_no_device COMMAND test_win32_devices --gtest_filter=NoSoundDevice.*)
set_tests_properties(win32_wave_no_device PROPERTIES TIMEOUT 120 ENVIRONMENT "HOME=${alsa_homes}/no_device")
add_test(NAME win32_wave_missing_pcm COMMAND test_win32_devices --gtest_filter=NoSoundDevice.*)
set_tests_properties(win32_wave_missing_pcm PROPERTIES TIMEOUT 120 ENVIRONMENT "HOME=${alsa_homes}/missing_pcm")

add_executable(test_win32_system system_test.cpp)
target_link_libraries(test_win32_system PRIVATE ${win32_test_libraries})
add_test(NAME win32_system COMMAND test_win32_system)
set_tests_properties(win32_system PROPERTIES TIMEOUT 120)
