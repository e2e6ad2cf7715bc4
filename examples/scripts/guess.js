// A guessing game for everybody: "!guess" starts a round (a number from 1 to 100), "!guess 42"
// tries one. The fewest tries anybody needed is kept in the script's store.
var secret = 0;
var tries = 0;

bot.command('guess', function (user, argument) {
    var number = parseInt(argument, 10);
    if (secret === 0) {
        secret = 1 + Math.floor(Math.random() * 100);
        tries = 0;
        if (isNaN(number)) {
            bot.say('I think of a number from 1 to 100. Guess it: ' + bot.trigger + 'guess 50.');
            return;
        }
    }
    if (isNaN(number)) {
        bot.say('A round is on: ' + bot.trigger + 'guess a number from 1 to 100.');
        return;
    }
    tries += 1;
    if (number < secret) {
        bot.say(number + ' is too low.');
    } else if (number > secret) {
        bot.say(number + ' is too high.');
    } else {
        var best = bot.store.get('best');
        var record = best === undefined || tries < best.tries;
        if (record) bot.store.set('best', {user: user, tries: tries});
        bot.say(user + ' got it: ' + secret + ' in ' + tries + (tries === 1 ? ' try' : ' tries') +
                (record ? ', a record!' : '; the record is ' + best.tries + ' by ' + best.user + '.'));
        secret = 0;
    }
}, {anyone: true});
