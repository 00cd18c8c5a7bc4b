# The two avatar pictures (drawn by make-avatars.sh), embedded as constant
# bytes: avatar A for the user's own bubbles, avatar B for the bot's.
include(${PROJECT_SOURCE_DIR}/cmake/Embed.cmake)

tovi_embed_file(avatar_user_source INPUT ${CMAKE_CURRENT_SOURCE_DIR}/avatar-user.jpg
                SYMBOL kAvatarUserJpeg)
tovi_embed_file(avatar_bot_source INPUT ${CMAKE_CURRENT_SOURCE_DIR}/avatar-bot.jpg
                SYMBOL kAvatarBotJpeg)
add_library(avatars STATIC ${avatar_user_source} ${avatar_bot_source})
