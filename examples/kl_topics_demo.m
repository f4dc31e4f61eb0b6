function varargout = kl_topics_demo(documents, k, top)
% KL_TOPICS_DEMO  Topics of a text corpus: greedynmf on word counts under the Kullback-Leibler loss.
%
%   kl_topics_demo()
%   kl_topics_demo(documents)
%   kl_topics_demo(documents, k, top)
%   [W, H, terms] = kl_topics_demo(...)
%
%   Counts the words of each document (runs of three or more letters,
%   lower-cased), keeps the terms found in at least 2 documents and in at
%   most half of them, less some sixty common English words, and fits the terms-by-documents matrix of raw
%   counts A ~ W*H with greedynmf(A, k, 'loss', 'kl'): counts are fitted by
%   the Kullback-Leibler divergence, the Poisson likelihood, rather than
%   by least squares. Each column of W is a topic, whose largest entries
%   are its words; each column of H says how much of each topic a document
%   holds. Prints the top words of each topic (default top = 8).
%
%   documents  a cell array of strings, each a document; or a file pattern,
%              each file's prose paragraphs of 20 words or more documents
%              (default: those of Perl's documentation, /usr/share/perl/5.*/pod/*.pod, from
%              Debian's perl-doc package; code and commands left out)
%   k          the number of topics (default 10)
%
%   The start is seeded, so every run finds the same topics; the caller's
%   random generator is left alone. W, H and terms (the words of A's rows)
%   are returned only when asked for.
%
%   See also GREEDYNMF.

  if nargin < 1 || isempty(documents)
    documents = '/usr/share/perl/5.*/pod/*.pod';
  end
  if nargin < 2 || isempty(k)
    k = 10;
  end
  if nargin < 3 || isempty(top)
    top = 8;
  end
  if ischar(documents)
    documents = paragraphs_of(documents);
  end
  if ~iscell(documents) || isempty(documents)
    error('kl_topics_demo:badInput', 'documents must be a cell array of strings or a file pattern');
  end
  [A, terms] = word_counts(documents);
  fprintf('%d terms in %d documents, %d counts\n', size(A, 1), size(A, 2), nnz(A));
  [W, H, info] = greedynmf(A, k, 'loss', 'kl', 'seed', 1);
  fprintf('divergence %.6g after %d iterations, %.2f s\n', info.objective(end), ...
          info.iterations, info.time(end));
  for t = 1:k
    [~, order] = sort(W(:, t), 'descend');
    fprintf('topic %2d: %s\n', t, strjoin(terms(order(1:min(top, end)))', ' '));
  end
  if nargout > 0
    varargout = {W, H, terms};
  end
end

function documents = paragraphs_of(pattern)
% The prose paragraphs of at least 20 words: no indented code, no
% =commands, and formatting codes such as C<...> reduced to their text.
  folder = fileparts(pattern);
  files = dir(pattern);
  if isempty(files)
    error('kl_topics_demo:noFiles', ['no files match %s: give documents, or on Debian ', ...
          'install perl-doc for the default corpus'], pattern);
  end
  documents = {};
  for f = 1:numel(files)
    base = folder;
    if isfield(files, 'folder')
      base = files(f).folder;
    end
    text = fileread(fullfile(base, files(f).name));
    plain = regexprep(text, '[A-Z]<+([^<>]*)>+', '$1');
    while ~strcmp(plain, text)
      text = plain;
      plain = regexprep(text, '[A-Z]<+([^<>]*)>+', '$1');
    end
    parts = regexp(text, '\n[ \t]*\n', 'split');
    prose = cellfun(@(p) ~isempty(p) && ~any(p(1) == sprintf(' \t=')) && ...
                    numel(regexp(p, '[A-Za-z]+')) >= 20, parts);
    documents = [documents, parts(prose)];
  end
end

function [A, terms] = word_counts(documents)
  words = cell(1, numel(documents));
  owner = cell(1, numel(documents));
  for d = 1:numel(documents)
    words{d} = regexp(lower(documents{d}), '[a-z]{3,}', 'match');
    owner{d} = d * ones(1, numel(words{d}));
  end
  [terms, ~, index] = unique([words{:}]);
  terms = terms(:);
  A = sparse(index(:), [owner{:}]', 1, numel(terms), numel(documents));
  spread = full(sum(A > 0, 2));
  keep = spread >= 2 & spread <= numel(documents) / 2 & ~ismember(terms, stop_words());
  A = A(keep, :);
  terms = terms(keep);
end

function words = stop_words()
% English words of every topic, which would head each one's list.
  words = {'the', 'and', 'that', 'this', 'for', 'with', 'are', 'was', 'but', 'not', ...
           'you', 'your', 'can', 'will', 'have', 'has', 'from', 'which', 'what', 'when', ...
           'there', 'their', 'they', 'them', 'then', 'than', 'these', 'those', 'its', ...
           'all', 'any', 'one', 'also', 'only', 'such', 'may', 'use', 'used', 'using', ...
           'into', 'been', 'were', 'would', 'should', 'could', 'does', 'how', 'other', ...
           'more', 'some', 'each', 'see', 'like', 'just', 'because', 'here', 'out'};
end
